#pragma once
// A Waveform view with scripted dialogs, in a folder of its own for the files it writes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/Commands.h"
#include "app/Resources.h"
#include "app/WaveformView.h"
#include "tests/app/ScriptedDialogs.h"

namespace fs = std::filesystem;

inline std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct ViewTest : testing::Test {
    ScriptedDialogs dialogs;
    std::string title = "Tarvelin 1.7";
    CWaveformView view{dialogs, [this](const std::string& t) { title = t; }};
    fs::path dir;

    void SetUp() override {
        view.Create();
        view.MoveWindow(CRect(0, 0, 500, 300));
        dir = fs::temp_directory_path() /
              ("tarvelin-view-" +
               std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    void Run(UINT id) { RunCommand(view, id, dialogs); }
    void New(std::uint32_t count = 256) {
        dialogs.counts.push_back(count);
        Run(ID_FILE_NEW);
    }
    void Choose(const fs::path& p, int filter = 1) {
        dialogs.files.push_back({p.string(), filter});
    }
    void Paint() {
        view.Graph().Invalidate();
        view.Graph().UpdateWindow();
    }
};
