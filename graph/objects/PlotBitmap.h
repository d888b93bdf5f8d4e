#pragma once
// A picture on a graph, stretched to the object's rectangle, with an optional black frame.

#include <memory>

#include "draw/BitmapEx.h"
#include "graph/objects/PlotObject.h"

class CPlotBitmap : public CPlotObject {
    DECLARE_SERIAL(CPlotBitmap)
public:
    CPlotBitmap();
    ~CPlotBitmap() override;
    CPlotBitmap(const CPlotBitmap&) = delete;
    CPlotBitmap& operator=(const CPlotBitmap&) = delete;
    void Serialize(CArchive& ar) override;
    void Draw(CGraphDC* dc) override;
    void OnRightClick() override {}

    // Loading creates the image and owns it; an owner may instead hand in an image it keeps.
    bool ownsImage = false;
    CBitmapEx* image = nullptr;
    bool border = true;
};
