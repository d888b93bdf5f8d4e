#pragma once
// Wave > Play: the waveform as a looped oscillator through the system's audio output.

#include <memory>
#include <string>
#include <vector>

#include "wave/Oscillator.h"

// Where the oscillator's stream goes: the system's output, or a fake in the tests.
class CAudioOutput {
public:
    virtual ~CAudioOutput() = default;
    // Starts pulling from the oscillator and gives the frame rate; else why it cannot.
    virtual std::string Open(COscillator& oscillator, double& rate) = 0;
    virtual void Close() = 0;
    // Why the open output no longer takes sound (it failed, or stalled); empty while it does.
    virtual std::string Failure() { return {}; }
};
// Qt Multimedia's QAudioSink on the default output device.
std::unique_ptr<CAudioOutput> SystemAudioOutput();

class CPlayer {
public:
    explicit CPlayer(std::unique_ptr<CAudioOutput> output);
    ~CPlayer();
    // Starts with this table (fading in); the reason when there is no output to play through.
    std::string Play(std::vector<float> table);
    // A changed table, heard at once while playing.
    void Update(std::vector<float> table);
    // Fades out; the output is let go once silent (Poll).
    void Stop();
    // Lets the output go once the fade has ended, or at once when it failed; true while the
    // sound lasts.
    bool Poll();
    // Why the sound stopped by itself (empty when it did not): said to the user once.
    const std::string& Problem() const { return problem; }
    bool Playing() const { return open && !stopping; }
    void SetFrequency(double hertz);
    void SetVolumeDb(double decibels);
    double Frequency() const { return hertz; }
    // The output's frame rate (as last opened).
    double Rate() const { return rate; }
    double VolumeDb() const { return volumeDb; }

private:
    std::unique_ptr<CAudioOutput> output;
    COscillator oscillator;
    double rate = 48000, hertz = 220, volumeDb = -12;
    bool open = false, stopping = false;
    std::string problem;
};
