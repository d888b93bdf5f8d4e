#pragma once
// An axis whose ticks lie on a base-10 logarithmic scale; it replaces only the drawing.

#include "graph/axes/PlotAxis.h"

class CPlotLogAxis : public CPlotAxis {
    DECLARE_SERIAL(CPlotLogAxis)
public:
    CPlotLogAxis() = default;

    void Draw(CGraphDC* dc) override;
    CPoint LogPixelOfValue(const DataPoint& point);
    // Rounds the displayed range outward to one significant digit.
    void LogAutoScale(CGraphDC& dc);

    std::int32_t linearFallback = 0; // 1: behaves exactly as a linear axis; not stored

private:
    void DrawLog(CGraphDC& dc);
};
