#pragma once
// Reads the number at the start of a text the way the data file has always been read: leading
// white space, a sign, digits with one decimal point, an exponent after e, E, d or D. The
// longest beginning of that form counts; no digit gives 0.0. The text may arrive in pieces.

#include <cstdint>

class NumberScanner {
public:
    NumberScanner() { Reset(); }
    void Reset();
    // Consumes text up to (not including) a line feed or the first character that cannot
    // continue the number, and returns where it stopped.
    const char* Feed(const char* p, const char* end);
    // True once a character ended the number: the rest of the line does not matter.
    bool Done() const { return state == State::Done; }
    // True when a digit of the mantissa was read (a sign or a point alone is no number).
    bool HasDigits() const { return preset || seenDigit; }
    // True when something consumed is no part of the value: a sign or point without a digit,
    // an exponent letter or its sign without a digit ("-", ".", "1e", "2e+").
    bool Dangling() const;
    // The value of what was consumed: finite, the largest double of its sign on overflow,
    // the nearest double (0.0 or a subnormal) on underflow.
    double Value() const;

    // A number read by other means: the scanner is done and gives `value`.
    void SetValue(double value);

    // The whole number at the start of [p, end), up to any line feed.
    static double Scan(const char* p, const char* end);

private:
    enum class State : std::uint8_t {
        Space,
        Mantissa,
        ExponentLetter,
        ExponentSign,
        Exponent,
        Done
    };
    // Digits beyond this many cannot change the rounding of a double; they leave a sticky digit.
    static constexpr int MaxDigits = 800;

    State state;
    bool negative;
    bool seenPoint;
    bool seenDigit;
    bool seenSign;
    bool dangling; // set as the number ends
    bool sticky;
    bool exponentNegative;
    int digitCount;
    std::int64_t scale;    // value = digits x 10^(scale + exponent)
    std::int64_t exponent; // committed once it has a digit
    std::int64_t pendingExponent;
    std::uint64_t mantissa; // the kept digits while there are at most 19 of them
    bool preset;
    double presetValue;
    char digits[MaxDigits + 2];
};
