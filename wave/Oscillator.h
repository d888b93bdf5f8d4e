#pragma once
// A table played as a looped oscillator, as a DDS plays it: a 32.32 fixed-point phase
// accumulator steps through the table and neighbours are interpolated linearly. The editor
// publishes new tables while it plays; the audio side takes them without locks and never
// frees memory (the editor does, on its next publication or at the end).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class COscillator {
public:
    COscillator() = default;
    ~COscillator();
    COscillator(const COscillator&) = delete;
    COscillator& operator=(const COscillator&) = delete;

    // Editor side. The table as it will be heard (published as is; see Normalised).
    void Publish(std::vector<float> table);
    // Cycles a second at `rate` frames a second.
    void SetFrequency(double hertz, double rate);
    // The level the output moves to, over the fade time.
    void SetGain(double gain);
    // Starts from silence (a fade in), or fades out to a stop.
    void Start();
    void Stop();
    bool Stopped() const { return stopped.load(std::memory_order_acquire); }

    // Audio side: `frames` mono samples; silence once stopped.
    void Render(float* out, std::size_t frames);

    // The phase step for a table of `count` samples: cycles a frame × count × 2^32, rounded.
    static std::uint64_t Increment(double cyclesPerFrame, std::size_t count);
    // Frames a fade takes: 10 ms at 48 kHz.
    static constexpr int FadeFrames = 480;

private:
    struct Table {
        std::vector<float> samples;
        Table* next = nullptr; // in the list of tables the audio side let go of
    };
    void Collect(); // frees what the audio side let go of

    std::atomic<Table*> pending{nullptr};
    std::atomic<Table*> retired{nullptr};
    std::atomic<double> cyclesPerFrame{0};
    std::atomic<double> targetGain{0};
    std::atomic<bool> stopping{false}, stopped{true};
    // The audio side's own.
    Table* current = nullptr;
    std::uint64_t phase = 0;
    double gain = 0;
};

// The samples onto -1..1 about the middle of their range, as floats (a flat table is silence).
std::vector<float> Normalised(const double* ys, std::size_t count, std::size_t stride = 1);
// "220", "220 Hz", "1.5 kHz" or a note: "A4" (440 Hz), "C#3", "Bb2", equal temperament.
std::optional<double> FrequencyOf(const std::string& text);

// Play's frequency field: the frequency, or why it cannot be played. 1 Hz to 20 kHz: what is
// heard, and within what every output of 44.1 kHz or more carries.
struct PlayFrequency {
    std::optional<double> hertz;
    std::string problem;
};
PlayFrequency ReadPlayFrequency(const std::string& text);
constexpr double LowestPlayHertz = 1, HighestPlayHertz = 20000;
