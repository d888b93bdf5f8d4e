#include "files/NumberScanner.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

constexpr std::int64_t ExponentLimit = 1'000'000'000; // far beyond any double's reach

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

void NumberScanner::Reset() {
    state = State::Space;
    negative = seenPoint = seenDigit = seenSign = dangling = sticky = exponentNegative = false;
    digitCount = 0;
    scale = exponent = pendingExponent = 0;
    mantissa = 0;
    preset = false;
}

void NumberScanner::SetValue(double value) {
    Reset();
    state = State::Done;
    preset = true;
    presetValue = value;
}

const char* NumberScanner::Feed(const char* p, const char* end) {
    while (p < end) {
        const char c = *p;
        if (c == '\n')
            return p;
        switch (state) {
        case State::Space:
            if (IsSpace(c)) {
                ++p;
                continue;
            }
            state = State::Mantissa;
            if (c == '+' || c == '-') {
                negative = c == '-';
                seenSign = true;
                ++p;
                continue;
            }
            continue;
        case State::Mantissa:
            if (IsDigit(c)) {
                seenDigit = true;
                if (digitCount == 0 && c == '0') {
                    if (seenPoint)
                        scale = std::max(scale - 1, -ExponentLimit);
                } else if (digitCount < MaxDigits) {
                    digits[digitCount++] = c;
                    mantissa = mantissa * 10 + std::uint64_t(c - '0');
                    if (seenPoint)
                        --scale;
                } else {
                    sticky |= c != '0';
                    if (!seenPoint)
                        scale = std::min(scale + 1, ExponentLimit);
                }
                ++p;
                continue;
            }
            if (c == '.' && !seenPoint) {
                seenPoint = true;
                ++p;
                continue;
            }
            if (seenDigit && (c == 'e' || c == 'E' || c == 'd' || c == 'D')) {
                state = State::ExponentLetter;
                ++p;
                continue;
            }
            dangling = !seenDigit && (seenSign || seenPoint);
            state = State::Done;
            return p;
        case State::ExponentLetter:
            if (c == '+' || c == '-') {
                exponentNegative = c == '-';
                state = State::ExponentSign;
                ++p;
                continue;
            }
            [[fallthrough]];
        case State::ExponentSign:
        case State::Exponent:
            if (IsDigit(c)) {
                pendingExponent = std::min(pendingExponent * 10 + (c - '0'), ExponentLimit);
                exponent = exponentNegative ? -pendingExponent : pendingExponent;
                state = State::Exponent;
                ++p;
                continue;
            }
            dangling = state != State::Exponent;
            state = State::Done;
            return p;
        case State::Done:
            return p;
        }
    }
    return p;
}

bool NumberScanner::Dangling() const {
    switch (state) {
    case State::Done:
        return dangling;
    case State::Mantissa:
        return !seenDigit && (seenSign || seenPoint);
    case State::ExponentLetter:
    case State::ExponentSign:
        return true;
    default:
        return false;
    }
}

double NumberScanner::Value() const {
    if (preset)
        return presetValue;
    const double zero = negative ? -0.0 : 0.0;
    if (digitCount == 0)
        return seenDigit ? zero : 0.0; // a sign without digits is no number: plain 0.0
    // Both the digits and the power of ten are exact doubles: one rounding, as from_chars does.
    static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const std::int64_t fastPower = scale + exponent;
    if (digitCount <= 15 && !sticky && fastPower >= -22 && fastPower <= 22) {
        const double m = double(mantissa);
        const double v = fastPower < 0 ? m / powers[-fastPower] : m * powers[fastPower];
        return negative ? -v : v;
    }
    char text[MaxDigits + 32];
    int n = digitCount;
    std::copy(digits, digits + n, text);
    std::int64_t power = scale + exponent;
    if (sticky) { // stands for the nonzero digits dropped beyond the kept ones
        text[n++] = '1';
        --power;
    }
    text[n++] = 'e';
    auto [end, ec] = std::to_chars(text + n, text + sizeof text, power);
    (void)ec;
    double value = 0;
    auto result = std::from_chars(text, end, value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool overflow = digitCount + power > 0;
        value = overflow ? std::numeric_limits<double>::max() : 0.0;
    }
    return negative ? -value : value;
}

double NumberScanner::Scan(const char* p, const char* end) {
    NumberScanner scanner;
    scanner.Feed(p, end);
    return scanner.Value();
}
