#pragma once
// Exact comparison of products of differences of doubles, for settling a rounding that
// floating-point arithmetic cannot decide. Every finite double is a whole multiple of
// 2^-1074, so each difference is a whole number of such units and each product a whole
// number of their squares: big integers, compared exactly. Slow; for the rare close call.

// The sign (-1, 0 or 1) of (a - b) * (c - d) - (e - f) * (g - h). All finite.
int CompareProducts(double a, double b, double c, double d, double e, double f, double g, double h);
