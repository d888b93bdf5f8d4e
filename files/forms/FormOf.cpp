#include "files/forms/FormList.h"

const CTableForm& FormOf(TableFormat format) {
    switch (format) {
    case TableFormat::C:
        return CForm();
    case TableFormat::Cpp:
        return CppForm();
    case TableFormat::Rust:
        return RustForm();
    case TableFormat::Mem:
        return MemForm();
    case TableFormat::MemB:
        return MemBForm();
    case TableFormat::Coe:
        return CoeForm();
    case TableFormat::Mif:
        return MifForm();
    case TableFormat::IHex:
        return IntelHexForm();
    case TableFormat::Bin:
        return BinForm();
    case TableFormat::Vhdl:
        return VhdlForm();
    case TableFormat::Wav:
        break;
    }
    return WavForm();
}
