#pragma once
// Date values as days since 1899-12-30 00:00, the fraction being the time of day (for negative
// values too: -1.25 is 1899-12-29 06:00).

#include <string>

struct DateParts {
    int year, month, day; // month 1..12, day 1..31
    int hour, minute, second;
    int dayOfWeek; // 0 Sunday
    int dayOfYear; // 0 for January 1
};

// The calendar parts of a date value, to the nearest second; false outside years 100..9999.
bool SplitDate(double value, DateParts& parts);

// The date value of a calendar date and time.
double MakeDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// strftime-style text of a date value; empty outside years 100..9999.
std::string FormatDate(double value, const std::string& pattern);
