#include "app/AudioPlayer.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

// What the sink pulls: the oscillator's frames in the sink's format, on every channel.
class OscillatorStream : public QIODevice {
public:
    OscillatorStream(COscillator& o, const QAudioFormat& f) : oscillator(o), format(f) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 1 << 20; } // an endless stream

protected:
    qint64 readData(char* data, qint64 size) override {
        const int channels = std::max(1, format.channelCount());
        const int bytes = format.bytesPerSample();
        const std::size_t frames = std::size_t(size / (channels * bytes));
        if (mono.size() < frames)
            mono.resize(frames); // grows to the sink's period once, then stays
        oscillator.Render(mono.data(), frames);
        char* p = data;
        for (std::size_t f = 0; f < frames; ++f)
            for (int c = 0; c < channels; ++c) {
                if (format.sampleFormat() == QAudioFormat::Float) {
                    std::memcpy(p, &mono[f], sizeof(float));
                } else {
                    const qint16 v = qint16(std::lround(std::clamp(mono[f], -1.0f, 1.0f) * 32767));
                    std::memcpy(p, &v, sizeof v);
                }
                p += bytes;
            }
        return qint64(p - data);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    COscillator& oscillator;
    QAudioFormat format;
    std::vector<float> mono;
};

// The sink and its stream, used on the audio thread only.
class Sink {
public:
    std::string Open(COscillator& oscillator, double& rate) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return "There is no audio output to play through.";
        QAudioFormat format = device.preferredFormat();
        format.setSampleFormat(QAudioFormat::Float);
        if (!device.isFormatSupported(format))
            format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format) || format.sampleRate() <= 0)
            return "The audio output takes no format this program can give it.";
        rate = format.sampleRate();
        stream = std::make_unique<OscillatorStream>(oscillator, format);
        stream->open(QIODevice::ReadOnly);
        sink = std::make_unique<QAudioSink>(device, format);
        // About 100 ms: an edit is heard almost at once. Much less starves PulseAudio (and
        // PipeWire's Pulse server) of its pre-buffer, and the stream never starts.
        sink->setBufferSize(qsizetype(format.bytesForDuration(100000)));
        sink->start(stream.get());
        if (sink->error() != QAudio::NoError) {
            Close();
            return "The audio output could not be opened.";
        }
        lastProcessed = -1;
        sinceMoved.start();
        return {};
    }
    std::string Failure() {
        if (!sink)
            return {};
        switch (sink->error()) {
        case QAudio::OpenError:
        case QAudio::IOError:
        case QAudio::FatalError:
            return "The audio output failed, and Play stopped.";
        default:
            break;
        }
        // A stream that takes nothing for two seconds has stalled: silence, with no error.
        if (const qint64 processed = sink->processedUSecs(); processed != lastProcessed) {
            lastProcessed = processed;
            sinceMoved.restart();
        } else if (sinceMoved.elapsed() > StallMs) {
            return "The audio output stopped taking sound, and Play stopped.";
        }
        return {};
    }
    void Close() {
        if (sink)
            sink->stop();
        sink.reset();
        stream.reset();
    }

private:
    static constexpr qint64 StallMs = 2000;
    std::unique_ptr<OscillatorStream> stream;
    std::unique_ptr<QAudioSink> sink;
    qint64 lastProcessed = -1;
    QElapsedTimer sinceMoved;
};

// Qt's sink is fed by a timer on the thread that made it: on a thread of its own the sound
// goes on whatever the window's thread is doing (a long repaint, a busy machine).
class SystemOutput : public CAudioOutput {
public:
    SystemOutput() {
        thread.setObjectName(QStringLiteral("audio"));
        context.moveToThread(&thread);
        thread.start();
    }
    ~SystemOutput() override {
        Close();
        thread.quit();
        thread.wait();
    }
    std::string Open(COscillator& oscillator, double& rate) override {
        std::string error;
        There([&] { error = sink.Open(oscillator, rate); });
        return error;
    }
    void Close() override {
        There([&] { sink.Close(); });
    }
    std::string Failure() override {
        std::string why;
        There([&] { why = sink.Failure(); });
        return why;
    }

private:
    // Runs `work` on the audio thread and waits for it.
    void There(const std::function<void()>& work) {
        QMetaObject::invokeMethod(&context, work, Qt::BlockingQueuedConnection);
    }

    QThread thread;
    QObject context; // lives on the audio thread
    Sink sink;
};

} // namespace

std::unique_ptr<CAudioOutput> SystemAudioOutput() {
    return std::make_unique<SystemOutput>();
}

CPlayer::CPlayer(std::unique_ptr<CAudioOutput> o) : output(std::move(o)) {}

CPlayer::~CPlayer() {
    if (open)
        output->Close(); // no more frames are pulled from here on
}

std::string CPlayer::Play(std::vector<float> table) {
    problem.clear();
    oscillator.Publish(std::move(table));
    if (open && !stopping)
        return {};
    stopping = false;
    oscillator.SetGain(std::pow(10.0, volumeDb / 20));
    oscillator.Start();
    if (open)
        return {}; // it was fading out: it comes back
    std::string error = output->Open(oscillator, rate);
    if (error.empty() && hertz >= rate / 2) { // above its Nyquist frequency: only aliases
        output->Close();
        error = "The audio output runs at " + std::to_string(int(rate)) +
                " Hz and cannot carry a tone this high.";
    }
    oscillator.SetFrequency(hertz, rate);
    if (!error.empty()) {
        oscillator.Stop();
        return error;
    }
    open = true;
    return {};
}

void CPlayer::Update(std::vector<float> table) {
    if (open)
        oscillator.Publish(std::move(table));
}

void CPlayer::Stop() {
    if (!open)
        return;
    stopping = true;
    oscillator.Stop();
}

bool CPlayer::Poll() {
    if (open && !stopping)
        if (std::string why = output->Failure(); !why.empty()) {
            output->Close();
            oscillator.Stop();
            open = false;
            problem = std::move(why);
        }
    if (open && stopping && oscillator.Stopped()) {
        output->Close();
        open = stopping = false;
    }
    return open;
}

void CPlayer::SetFrequency(double h) {
    hertz = h;
    oscillator.SetFrequency(hertz, rate);
}

void CPlayer::SetVolumeDb(double db) {
    volumeDb = db;
    if (!stopping)
        oscillator.SetGain(std::pow(10.0, volumeDb / 20));
}
