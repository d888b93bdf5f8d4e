#include "tests/fuzz/FuzzTargets.h"

bool RunFuzzTarget(const std::string& name, const std::uint8_t* data, std::size_t size) {
    if (name == "reader")
        FuzzDataReader(data, size);
    else if (name == "archive")
        FuzzArchive(data, size);
    else if (name == "chart")
        FuzzChart(data, size);
    else if (name == "tickformat")
        FuzzTickFormat(data, size);
    else if (name == "expression")
        FuzzExpression(data, size);
    else if (name == "import")
        FuzzImport(data, size);
    else if (name == "wav")
        FuzzWav(data, size);
    else if (name == "bank")
        FuzzBank(data, size);
    else if (name == "table")
        FuzzTable(data, size);
    else
        return false;
    return true;
}
