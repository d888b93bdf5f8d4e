#include "wave/Oscillator.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "files/MemoryGate.h"

COscillator::~COscillator() {
    Collect();
    delete current;
    delete pending.exchange(nullptr);
}

void COscillator::Collect() {
    for (Table* t = retired.exchange(nullptr, std::memory_order_acquire); t;) {
        Table* next = t->next;
        delete t;
        t = next;
    }
}

void COscillator::Publish(std::vector<float> table) {
    auto* fresh = new Table{std::move(table)};
    delete pending.exchange(fresh, std::memory_order_acq_rel); // never seen by the audio side
    Collect();
}

void COscillator::SetFrequency(double hertz, double rate) {
    cyclesPerFrame.store(rate > 0 ? hertz / rate : 0);
}

void COscillator::SetGain(double g) {
    targetGain.store(g);
}

void COscillator::Start() {
    stopping.store(false);
    stopped.store(false, std::memory_order_release);
}

void COscillator::Stop() {
    stopping.store(true);
}

std::uint64_t COscillator::Increment(double cycles, std::size_t count) {
    const double step = cycles * double(count) * 4294967296.0;
    return step >= 1 && step < 0x1p63 ? std::uint64_t(std::llround(step)) : 0;
}

void COscillator::Render(float* out, std::size_t frames) {
    if (Table* fresh = pending.exchange(nullptr, std::memory_order_acq_rel)) {
        if (current) {
            const std::size_t was = current->samples.size(), now = fresh->samples.size();
            // The same place in the cycle in a table of another length.
            if (was != now && was > 0)
                phase = std::uint64_t((long double)phase * now / was);
            Table* head = retired.load(std::memory_order_relaxed);
            do
                current->next = head;
            while (!retired.compare_exchange_weak(head, current, std::memory_order_release,
                                                  std::memory_order_relaxed));
        }
        current = fresh;
    }
    const std::size_t n = current ? current->samples.size() : 0;
    if (n == 0 || stopped.load(std::memory_order_acquire)) {
        std::fill(out, out + frames, 0.0f);
        return;
    }
    const float* t = current->samples.data();
    const std::uint64_t wrap = std::uint64_t(n) << 32;
    phase %= wrap;
    std::uint64_t step = Increment(cyclesPerFrame.load(std::memory_order_relaxed), n) % wrap;
    const double target = stopping.load() ? 0.0 : targetGain.load(std::memory_order_relaxed);
    const double fade = 1.0 / FadeFrames;
    for (std::size_t f = 0; f < frames; ++f) {
        const std::size_t i = std::size_t(phase >> 32);
        const double a = t[i], b = t[i + 1 == n ? 0 : i + 1];
        const double frac = double(phase & 0xFFFFFFFFu) * (1.0 / 4294967296.0);
        gain = gain < target ? std::min(target, gain + fade) : std::max(target, gain - fade);
        out[f] = float((a + frac * (b - a)) * gain);
        phase += step;
        if (phase >= wrap)
            phase -= wrap;
    }
    if (target == 0 && gain == 0 && stopping.load()) {
        stopping.store(false);
        stopped.store(true, std::memory_order_release);
    }
}

std::vector<float> Normalised(const double* ys, std::size_t count, std::size_t stride) {
    AskForMemory(count, sizeof(float));
    std::vector<float> t(count, 0.0f);
    if (count == 0)
        return t;
    double lo = ys[0], hi = ys[0];
    for (std::size_t i = 0; i < count; ++i) {
        lo = std::min(lo, ys[i * stride]);
        hi = std::max(hi, ys[i * stride]);
    }
    const double middle = lo / 2 + hi / 2, half = hi / 2 - lo / 2;
    if (!(half > 0) || !std::isfinite(half))
        return t;
    for (std::size_t i = 0; i < count; ++i)
        t[i] = float((ys[i * stride] - middle) / half);
    return t;
}

std::optional<double> FrequencyOf(const std::string& raw) {
    std::string text;
    for (char c : raw)
        if (!std::isspace(static_cast<unsigned char>(c)))
            text += c;
    double scale = 1;
    for (const auto& [unit, factor] : {std::pair<const char*, double>{"kHz", 1000}, {"Hz", 1}})
        if (text.size() > std::string(unit).size() && text.ends_with(unit)) {
            text.resize(text.size() - std::string(unit).size());
            scale = factor;
            break;
        }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc() && end == text.data() + text.size())
        return value * scale > 0 && value * scale <= 1e6 ? std::optional(value * scale)
                                                         : std::nullopt;
    if (scale != 1 || text.size() < 2)
        return std::nullopt;
    static const int semitones[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G from C
    const char letter = char(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G')
        return std::nullopt;
    int note = semitones[letter - 'A'];
    std::size_t at = 1;
    if (text[at] == '#')
        ++note, ++at;
    else if (text[at] == 'b')
        --note, ++at;
    int octave = 0;
    const auto [oend, oec] = std::from_chars(text.data() + at, text.data() + text.size(), octave);
    if (oec != std::errc() || oend != text.data() + text.size() || at == text.size() ||
        octave < -1 || octave > 9)
        return std::nullopt;
    const int midi = (octave + 1) * 12 + note; // A4 is 69
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

PlayFrequency ReadPlayFrequency(const std::string& text) {
    const std::optional<double> hertz = FrequencyOf(text);
    if (!hertz)
        return {std::nullopt,
                "\"" + text + "\" is not a frequency: give Hz, kHz or a note such as A3 or C#4."};
    if (*hertz < LowestPlayHertz || *hertz > HighestPlayHertz)
        return {std::nullopt,
                "Play's frequency must lie between 1 Hz and 20 kHz; \"" + text + "\" does not."};
    return {hertz, {}};
}
