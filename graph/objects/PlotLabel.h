#pragma once
// A free text box on a graph: optional fill and border, its own font and colours, an optional
// leader line to the middle point of a series, and editing in place.

#include <memory>
#include <string>

#include "graph/objects/PlotObject.h"
#include "platform/Edit.h"

class CPlotLabel : public CPlotObject {
    DECLARE_SERIAL(CPlotLabel)
public:
    static constexpr UINT EditControlId = 65534;

    CPlotLabel();
    ~CPlotLabel() override = default;

    void Serialize(CArchive& ar) override;
    void Draw(CGraphDC* dc) override;
    void Edit() override;
    void EndEdit() override;
    void OnRightClick() override {}

    // The editor while the text is edited in place, else null.
    CEdit* Editor() const { return editControl.get(); }

    std::string text = " ";
    CFont font;
    COLORREF backgroundColour;
    COLORREF textColour = RGB(0, 0, 0);
    bool border = true;
    bool transparent = false;
    std::int32_t textFormat = 0;
    std::int32_t attachedSeries = -1;

private:
    std::unique_ptr<CEdit> editControl;
};
