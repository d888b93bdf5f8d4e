#pragma once
// Formats in the "C" locale for the life of the scope, whatever locale the process runs in,
// so that tick labels always use "." and English names.

#include <locale.h>

class CLocaleScope {
public:
    CLocaleScope();
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous;
};
