#pragma once
// The command line of tarvelin-table, read into the table writer's options.

#include <optional>
#include <string>
#include <vector>

#include "files/CSourceExport.h"
#include "files/TableExport.h"

struct TableArguments {
    bool help = false, version = false;
    std::string error; // not empty: the command line is wrong, and how
    std::string input, output;
    std::optional<ExportForm> form; // Save C Source's own forms
    TableOptions options;
    // verify: the written file to check against what `input` gives with the options.
    bool verify = false;
    std::string checked;
    // analyse: the figures of the waveform or, with a mapping, of the table as stored.
    bool analyse = false, mapped = false, json = false;
    std::string spectrumPath;
};

// The arguments after the program's name.
TableArguments ParseTableArguments(const std::vector<std::string>& args);

// "auto:0:4095", "-1:1:full", "0:1:0:255" into the options' source and target ranges.
bool ParseScale(const std::string& text, TableOptions& options);
