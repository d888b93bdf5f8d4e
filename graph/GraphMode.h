#pragma once
// The graph's operation modes, command identifiers and notifications to its parent.

#include "platform/Messages.h"

enum GraphMode {
    ModeNone = 0,
    ModeZoom = 1,
    ModePan = 3,
    ModeCursor = 4,
    ModeEdit = 7,
    ModeMeasure = 8,
    ModeEditPlus = 9,
    ModeFreehand = 10,
};

constexpr UINT PLN_YAXIS_CLICK = WM_USER + 1;
constexpr UINT PLN_XAXIS_CLICK = WM_USER + 2;
constexpr UINT PLN_CURVE_CLICK = WM_USER + 3;
constexpr UINT PLN_YAXIS_DBLCLICK = WM_USER + 4;
constexpr UINT PLN_XAXIS_DBLCLICK = WM_USER + 5;
constexpr UINT PLN_CURVE_DBLCLICK = WM_USER + 6;
constexpr UINT PLN_RBUTTON_UP = WM_USER + 8;
constexpr UINT PLN_CURSOR_MOVED = WM_USER + 9;
constexpr UINT PLN_ZOOM_CHANGED = WM_USER + 10;
constexpr UINT PLN_POINT_CHANGED = WM_USER + 11;

constexpr UINT ID_PLOT_MODE_NONE = 40000;
constexpr UINT ID_PLOT_ADD_LABEL = 40001;
constexpr UINT ID_PLOT_ZOOM = 40002;
constexpr UINT ID_PLOT_VIEW_RESET = 40003;
constexpr UINT ID_PLOT_PAN = 40004;
constexpr UINT ID_PLOT_HIT_NOTIFY = 40005;
constexpr UINT ID_PLOT_PRINT = 40007;
constexpr UINT ID_PLOT_LINEAR_TREND = 40009;
constexpr UINT ID_PLOT_CUBIC_TREND = 40010;
constexpr UINT ID_PLOT_CURSOR = 40011;
constexpr UINT ID_PLOT_PASS_TO_PARENT = 40012;
constexpr UINT ID_PLOT_ZOOM_BACK = 40013;
constexpr UINT ID_PLOT_EDIT = 40014;
constexpr UINT ID_PLOT_MEASURE = 40015;

// Carried by PLN_POINT_CHANGED.
struct PointEditRecord {
    int series;
    int point;
    double oldY;
    double newY;
};
