#pragma once
// Time limits in tests are for the optimised build; sanitizers and debug builds run many
// times slower and get room in proportion.

#if defined(__SANITIZE_ADDRESS__) || !defined(NDEBUG)
constexpr double TimeScale = 20;
#else
constexpr double TimeScale = 1;
#endif
