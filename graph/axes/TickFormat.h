#pragma once
// The text of a tick value from a printf-style format, safely: the first floating-point
// conversion takes the value, "%%" is a percent sign, anything else is plain text.

#include <string>

std::string FormatTickValue(const std::string& format, double value);
