#include <algorithm>

#include "bench.h"

namespace korvallestin::bench {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

QJsonArray ToJson(const std::vector<double>& values) {
    QJsonArray array;
    for (const double v : values) {
        array.append(v);
    }
    return array;
}

}  // namespace korvallestin::bench
