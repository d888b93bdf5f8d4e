#pragma once
// Every class of the chart that an archive can hold, registered in one place, so that reading
// finds each by name whatever parts of the library a program happens to use.

#include <memory>

#include "graph/objects/PlotObject.h"

// Registers the chart's archivable classes; safe to call any number of times.
void RegisterArchiveClasses();

// Reads one chart object (or null) after registering the classes; throws CArchiveException
// for anything that is not one.
std::shared_ptr<CPlotObject> ReadPlotObject(CArchive& ar);
