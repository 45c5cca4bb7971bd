#include "accessible_factory.h"

#include <algorithm>
#include <vector>

namespace korvallestin {

void InstallAccessibleFactoryOnce(QAccessible::InterfaceFactory factory) {
    static std::vector<QAccessible::InterfaceFactory> installed;
    if (std::ranges::find(installed, factory) != installed.end()) {
        return;
    }
    installed.push_back(factory);
    QAccessible::installFactory(factory);
}

}  // namespace korvallestin
