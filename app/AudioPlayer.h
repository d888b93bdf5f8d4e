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
    // Lets the output go once the fade has ended; true while the sound lasts.
    bool Poll();
    bool Playing() const { return open && !stopping; }
    void SetFrequency(double hertz);
    void SetVolumeDb(double decibels);
    double Frequency() const { return hertz; }
    double VolumeDb() const { return volumeDb; }

private:
    std::unique_ptr<CAudioOutput> output;
    COscillator oscillator;
    double rate = 48000, hertz = 220, volumeDb = -12;
    bool open = false, stopping = false;
};
