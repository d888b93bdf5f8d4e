#pragma once
// The element types of a C table: their names in C and in options, their width and sign.

#include <optional>
#include <string>

enum class TableType { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float, Double, Q15, Q31 };

struct TableTypeInfo {
    TableType type;
    const char* cName;
    const char* option;
    int bits; // 0 for the floating types
    bool isSigned;
    bool fractional; // Q15, Q31: -1..1 onto the whole range
};

const TableTypeInfo& TypeInfoOf(TableType type);

// The type's name in C ("uint16_t"; Q15 is "int16_t") and in options ("uint16", "q15").
const char* TableTypeName(TableType type);
const char* TableTypeOption(TableType type);
std::optional<TableType> TableTypeFromOption(const std::string& option);
