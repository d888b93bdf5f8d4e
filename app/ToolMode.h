#pragma once
// The view's six tools, as the Tool menu and the toolbar choose them.

enum ToolMode {
    ToolNone = 0,
    ToolZoom = 1,
    ToolPan = 2,
    ToolEdit = 3,
    ToolCursor = 4,
    ToolEditPlus = 5,
    ToolFreehand = 6,
};
