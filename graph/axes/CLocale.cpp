#include "graph/axes/CLocale.h"

namespace {
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}
} // namespace

CLocaleScope::CLocaleScope() : previous(uselocale(CLocale())) {}

CLocaleScope::~CLocaleScope() {
    uselocale(previous);
}
