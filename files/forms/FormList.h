#pragma once
// Each form's one instance, for FormOf.

#include "files/forms/TableForm.h"

const CTableForm& CForm();
const CTableForm& CppForm();
const CTableForm& RustForm();
const CTableForm& MemForm();
const CTableForm& MemBForm();
const CTableForm& CoeForm();
const CTableForm& MifForm();
const CTableForm& IntelHexForm();
const CTableForm& BinForm();
const CTableForm& VhdlForm();
const CTableForm& WavForm();
