#pragma once
// The rules of the New Data dialog, apart from its window.

#include <cstdint>
#include <string>

struct DataCountCheck {
    bool ok = false;
    std::uint32_t value = 0;
    std::string message; // shown when not ok
};

// OK in the New Data dialog: the edit's text read as the platform reads an unsigned number,
// then checked against 1..2147483647.
DataCountCheck CheckDataCount(const std::string& text);

class QWidget;
// Shows the dialog; false on Cancel.
bool RunNewDataDialog(QWidget* parent, std::uint32_t& count);
