#pragma once
// Shapes that make a waveform in one step: the classic ones by their closed forms, a sum of
// harmonics, noise, and an expression typed by the user (muParser).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/DataPoint.h"
#include "files/Progress.h"

enum class Shape {
    Sine,
    Cosine,
    Square,
    Triangle,
    SawUp,
    SawDown,
    Pulse,
    Noise,
    Harmonics,
    Expression
};

struct GeneratorOptions {
    Shape shape = Shape::Sine;
    double cycles = 1; // over the whole table
    double amplitude = 1;
    double offset = 0;
    double phase = 0;     // degrees
    double duty = 50;     // square and pulse: percent of a cycle high
    double symmetry = 50; // triangle: percent of a cycle rising (0 and 100 give the saws)
    std::uint64_t seed = 1;
    std::array<double, 32> harmonicAmplitude{1};
    std::array<double, 32> harmonicPhase{};
    std::string expression = "sin(2*pi*x)";
    bool add = false; // add to the current samples instead of replacing them
    // In a bank, the frame made and the frames there are: the expression's f, F and
    // t = f / (F - 1) (0 for one frame).
    std::uint32_t frame = 0, frames = 1;
};

struct GeneratorResult {
    std::string error; // not empty: nothing was made, and why
    std::vector<DataPoint> points;
};

// `count` samples with X = index; `current` (may be shorter or empty) is what the expression
// reads as y and what `add` adds to. No sample is ever left not finite: the first that would
// be is named in the error.
GeneratorResult Generate(const GeneratorOptions& options, std::size_t count,
                         const DataPoint* current, std::size_t currentCount,
                         CProgress* progress = nullptr);
