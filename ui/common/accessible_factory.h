#pragma once

#include <QAccessible>

namespace korvallestin {

// Installs `factory` with QAccessible the first time it is given; later calls
// with the same factory do nothing, so that each widget class can install its
// own from its constructor.
void InstallAccessibleFactoryOnce(QAccessible::InterfaceFactory factory);

}  // namespace korvallestin
