#include "files/TableTypes.h"

namespace {

constexpr TableTypeInfo Types[] = {
    {TableType::Int8, "int8_t", "int8", 8, true, false},
    {TableType::UInt8, "uint8_t", "uint8", 8, false, false},
    {TableType::Int16, "int16_t", "int16", 16, true, false},
    {TableType::UInt16, "uint16_t", "uint16", 16, false, false},
    {TableType::Int32, "int32_t", "int32", 32, true, false},
    {TableType::UInt32, "uint32_t", "uint32", 32, false, false},
    {TableType::Float, "float", "float", 0, true, false},
    {TableType::Double, "double", "double", 0, true, false},
    {TableType::Q15, "int16_t", "q15", 16, true, true},
    {TableType::Q31, "int32_t", "q31", 32, true, true},
};

} // namespace

const TableTypeInfo& TypeInfoOf(TableType type) {
    return Types[int(type)];
}

const char* TableTypeName(TableType type) {
    return TypeInfoOf(type).cName;
}

const char* TableTypeOption(TableType type) {
    return TypeInfoOf(type).option;
}

std::optional<TableType> TableTypeFromOption(const std::string& option) {
    for (const TableTypeInfo& t : Types)
        if (option == t.option)
            return t.type;
    return std::nullopt;
}
