// Play through a real sound server: a private PulseAudio with a null sink, whose monitor is
// recorded by parec and checked for the tone's frequency and level.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "app/AudioPlayer.h"

namespace {

namespace fs = std::filesystem;

// Starts `argv` with stdout into `out` (or nowhere) and stderr nowhere.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& out = "/dev/null") {
    const pid_t child = fork();
    if (child == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null = ::open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(o, 1);
        dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    return child;
}

int Wait(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Stop(pid_t child, int signal = SIGTERM) {
    if (child > 0) {
        kill(child, signal);
        Wait(child);
    }
}

// Keeps the event loop going for `ms`, as the editor's window does while it plays.
void Pump(int ms, CPlayer* player = nullptr) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        if (player)
            player->Poll();
        usleep(5000);
    }
}

// A PulseAudio server of the test's own, with one null sink "tarvelin" at 48 kHz.
struct SoundServer : testing::Test {
    fs::path dir;
    pid_t server = -1;
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tarvelin-pulse-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        setenv("HOME", dir.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        setenv("PULSE_RUNTIME_PATH", dir.c_str(), 1);
        const std::string socket = (dir / "native").string();
        server = Spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                        "--disallow-exit", "--use-pid-file=no", "-L",
                        "module-native-protocol-unix socket=" + socket + " auth-anonymous=1", "-L",
                        "module-null-sink sink_name=tarvelin rate=48000"});
        setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
        for (int tries = 0; tries < 100; ++tries) {
            if (Wait(Spawn({"pactl", "info"})) == 0)
                return;
            usleep(50000);
        }
        Stop(server);
        server = -1;
        GTEST_SKIP() << "a private pulseaudio cannot be started here (Debian pulseaudio, "
                        "pulseaudio-utils)";
    }
    void TearDown() override {
        Stop(server);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    // What the sink received while `play` ran, as mono floats at 48 kHz.
    std::vector<float> Recorded(const std::function<void()>& play) {
        const fs::path raw = dir / "monitor.raw";
        const pid_t recorder =
            Spawn({"parec", "--device=tarvelin.monitor", "--raw", "--format=float32le",
                   "--rate=48000", "--channels=1", "--latency-msec=20"},
                  raw.string());
        QElapsedTimer clock; // the recorder hears the sink before anything is played
        clock.start();
        std::error_code none;
        while ((!fs::exists(raw) || fs::file_size(raw, none) < 4800) && clock.elapsed() < 10000)
            Pump(20);
        play();
        Stop(recorder, SIGINT); // parec writes out what it holds
        std::ifstream in(raw, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        std::vector<float> samples(bytes.size() / sizeof(float));
        std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
        return samples;
    }
};

std::vector<float> SineTable(int n) {
    std::vector<float> t(std::size_t(n), 0);
    for (int i = 0; i < n; ++i)
        t[std::size_t(i)] = float(std::sin(2 * std::numbers::pi * i / n));
    return t;
}

// The tone in a recording, cycle by cycle: the median period between upward zero crossings
// and the median peak of the cycles, so that a gap (a busy machine lets the stream run dry)
// moves neither.
struct Tone {
    double hertz = 0, peak = 0;
};
Tone ToneOf(const std::vector<float>& s) {
    std::vector<double> crossings, periods, peaks;
    for (std::size_t i = 1; i < s.size(); ++i)
        if (s[i - 1] < 0 && s[i] >= 0)
            crossings.push_back(double(i - 1) + s[i - 1] / (s[i - 1] - s[i]));
    for (std::size_t k = 1; k < crossings.size(); ++k) {
        periods.push_back(crossings[k] - crossings[k - 1]);
        float peak = 0;
        for (auto i = std::size_t(crossings[k - 1]); i < std::size_t(crossings[k]); ++i)
            peak = std::max(peak, std::fabs(s[i]));
        peaks.push_back(peak);
    }
    if (periods.size() < 100)
        return {};
    std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
    std::nth_element(peaks.begin(), peaks.begin() + peaks.size() / 2, peaks.end());
    return {48000 / periods[periods.size() / 2], peaks[peaks.size() / 2]};
}

TEST_F(SoundServer, PlaySoundsAtItsFrequencyAndLevel) {
    CPlayer player(SystemAudioOutput());
    player.SetFrequency(1000);
    player.SetVolumeDb(-12);
    std::string error = "not played";
    const std::vector<float> heard = Recorded([&] {
        error = player.Play(SineTable(256));
        Pump(1500, &player);
        EXPECT_TRUE(player.Playing()) << player.Problem();
        player.Stop();
        Pump(300, &player);
    });
    EXPECT_EQ(error, "");
    ASSERT_GT(heard.size(), 48000u) << "the recorder heard the sink";
    const Tone tone = ToneOf(heard);
    EXPECT_NEAR(tone.hertz, 1000, 5);
    EXPECT_NEAR(20 * std::log10(tone.peak), -12, 0.5) << "dBFS of the peak";
    EXPECT_FALSE(player.Playing());
}

// A server that goes away while playing stops the sound, and the player says why.
TEST_F(SoundServer, AServerThatGoesAwayStopsPlayAndSaysSo) {
    CPlayer player(SystemAudioOutput());
    ASSERT_EQ(player.Play(SineTable(64)), "");
    Pump(500, &player);
    ASSERT_TRUE(player.Playing());
    Stop(server);
    server = -1;
    QElapsedTimer clock;
    clock.start();
    while (player.Poll() && clock.elapsed() < 10000)
        Pump(50);
    EXPECT_FALSE(player.Poll());
    EXPECT_FALSE(player.Problem().empty());
}

// The sound goes on while the window's thread is busy: the output is fed from its own thread.
TEST_F(SoundServer, ABusyWindowLeavesNoGapInTheSound) {
    CPlayer player(SystemAudioOutput());
    player.SetFrequency(1000);
    const std::vector<float> heard = Recorded([&] {
        ASSERT_EQ(player.Play(SineTable(256)), "");
        Pump(500, &player);
        usleep(600000); // a long repaint, say
        Pump(500, &player);
        player.Stop();
        Pump(300, &player);
    });
    std::size_t first = heard.size(), last = 0;
    for (std::size_t i = 0; i < heard.size(); ++i)
        if (std::fabs(heard[i]) > 0.1) {
            first = std::min(first, i);
            last = i;
        }
    ASSERT_LT(first, last);
    std::size_t quiet = 0, longest = 0;
    for (std::size_t i = first; i <= last; ++i) {
        quiet = std::fabs(heard[i]) < 1e-3 ? quiet + 1 : 0;
        longest = std::max(longest, quiet);
    }
    EXPECT_GT(last - first, std::size_t(48 * 1400)) << "the whole second and a half was heard";
    EXPECT_LT(longest, 48u * 5) << "a silent stretch of " << longest / 48 << " ms";
}

} // namespace
