#include "graph/axes/OleDate.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <ctime>

#include "graph/axes/CLocale.h"

namespace {

// Days from 1970-01-01 to a civil date and back (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(std::int64_t(yoe) + era * 400 + (m <= 2));
}

constexpr std::int64_t OleEpochFromUnix = -25569; // 1899-12-30 in days from 1970-01-01

} // namespace

bool SplitDate(double value, DateParts& p) {
    // Beyond 9999-12-31 or before 0100-01-01 the value is no date.
    if (!(value >= -657434.0 && value < 2958466.0))
        return false;
    // Whole days toward zero, the time of day from the fraction's size, to the second.
    double days = std::trunc(value);
    long long seconds = std::llround(std::fabs(value - days) * 86400.0);
    if (seconds >= 86400) { // rounded up to the next day, away from the epoch
        seconds -= 86400;
        days += value < 0 ? -1 : 1;
    }
    const std::int64_t unixDays = std::int64_t(days) + OleEpochFromUnix;
    CivilFromDays(unixDays, p.year, p.month, p.day);
    if (p.year < 100 || p.year > 9999)
        return false;
    p.hour = int(seconds / 3600);
    p.minute = int(seconds / 60 % 60);
    p.second = int(seconds % 60);
    p.dayOfWeek = int(((unixDays % 7) + 11) % 7); // 1970-01-01 was a Thursday
    p.dayOfYear = int(unixDays - DaysFromCivil(p.year, 1, 1));
    return true;
}

double MakeDate(int year, int month, int day, int hour, int minute, int second) {
    const double days =
        double(DaysFromCivil(year, unsigned(month), unsigned(day)) - OleEpochFromUnix);
    const double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    // Before the epoch the fraction still counts forward from midnight, away from zero.
    return days >= 0 ? days + time : days - time;
}

std::string FormatDate(double value, const std::string& pattern) {
    DateParts p;
    if (!SplitDate(value, p) || pattern.empty())
        return {};
    std::tm tm{};
    tm.tm_year = p.year - 1900;
    tm.tm_mon = p.month - 1;
    tm.tm_mday = p.day;
    tm.tm_hour = p.hour;
    tm.tm_min = p.minute;
    tm.tm_sec = p.second;
    tm.tm_wday = p.dayOfWeek;
    tm.tm_yday = p.dayOfYear;
    tm.tm_isdst = 0;
    CLocaleScope c;
    char text[512];
    const std::size_t n = std::strftime(text, sizeof text, pattern.c_str(), &tm);
    return std::string(text, n);
}
