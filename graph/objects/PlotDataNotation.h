#pragma once
// A small text flag pinned to one data point: a framed white box above and right of the point,
// a dot on the point and a line from the point to the box.

#include <string>

#include "files/DataPoint.h"
#include "graph/objects/PlotObject.h"

class CPlotDataNotation : public CPlotObject {
    DECLARE_SERIAL(CPlotDataNotation)
public:
    CPlotDataNotation();
    void Serialize(CArchive& ar) override;
    void Draw(CGraphDC* dc) override;

    CFont font;
    bool boxMeasured = false;
    DataPoint point{0, 0};
    std::int32_t series = 0;
    std::int32_t pointIndex = 0;
    std::string text;
};
