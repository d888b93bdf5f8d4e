#pragma once
// Tick steps and range alignment: 1-2-5 steps for numbers, calendar steps for dates.

#include <optional>

// Whole seconds of the calendar steps, ascending; -1 ends the table.
extern const double DateStepTable[35];

// The smallest 1, 2 or 5 times a power of ten not below (max - min) / count; nothing for an
// empty, inverted or non-finite range.
std::optional<double> NiceTickStep(int count, double min, double max);

// A step in days from the table for (max - min) / count, the raw step beyond the table, and
// 0 for a span below one second or anything that is not a finite span.
double DateTickStep(int count, double min, double max);

// Widens [min, max] outward to multiples of step. Unchanged for steps that are not positive
// and finite or too small to move the ends; an end already on a multiple (up to the rounding
// of the division) or one that would leave the finite doubles stays where it is.
void AlignRangeToStep(double& min, double& max, double step);

// Aligns date values (days) to whole steps counted from 1970-01-01 00:00:00. Unchanged for
// instants outside the signed 32-bit second range around that epoch.
void AlignDateRangeToStep(double& min, double& max, double step);

// True when adding step to value moves it: a tick walk with it ends.
bool StepMoves(double value, double step);
