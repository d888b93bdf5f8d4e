#pragma once
// Measuring helpers for layout and picking.

#include <string>

#include "draw/GraphDC.h"

// Width and height of a text; a text with line feeds is measured line by line.
CSize TextExtent(CGraphDC& dc, const std::string& text);

// Distance from q to the infinite line through p1 and p2; to p1 itself when they coincide.
double DistanceToLine(CPoint p1, CPoint p2, CPoint q);
