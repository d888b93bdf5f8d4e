#pragma once
// A picture on a graph, stretched to the object's rectangle, with an optional black frame.

#include <memory>

#include "draw/BitmapEx.h"
#include "graph/objects/PlotObject.h"

class CPlotBitmap : public CPlotObject {
    DECLARE_SERIAL(CPlotBitmap)
public:
    CPlotBitmap();
    void Serialize(CArchive& ar) override;
    void Draw(CGraphDC* dc) override;
    void OnRightClick() override {}

    std::unique_ptr<CBitmapEx> image; // owned: the object loads it from the archive
    bool border = true;
};
