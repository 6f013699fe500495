#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// The value below which `fraction` of the values lie (0.5: the median); 0 for no values.
inline double quantile(std::vector<double> values, double fraction) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * (values.size() - 1) + 0.5)];
}
