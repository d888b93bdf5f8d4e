#pragma once

// One point of a curve: X then Y, 16 bytes.
struct DataPoint {
    double x;
    double y;
};
static_assert(sizeof(DataPoint) == 16);
