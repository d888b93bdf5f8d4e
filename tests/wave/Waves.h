#pragma once
// Small waveforms for the tests: samples from Y values (X the index), and the Y values back.

#include <vector>

#include "files/DataPoint.h"

inline std::vector<DataPoint> Wave(const std::vector<double>& ys) {
    std::vector<DataPoint> w;
    for (double y : ys)
        w.push_back({double(w.size()), y});
    return w;
}

inline std::vector<double> Ys(const std::vector<DataPoint>& w) {
    std::vector<double> ys;
    for (const DataPoint& p : w)
        ys.push_back(p.y);
    return ys;
}
