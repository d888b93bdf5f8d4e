#pragma once
// Band-limited copies of a table, one for each octave a synth plays it in: level k keeps only
// the harmonics below N / 2^(k+1) (the spectrum cut, nothing else changed), so a table played
// up to its level's top note does not alias. A level is kept at the full N, or halved at each
// level (N / 2^k samples, as many as its harmonics need).

#include <cstddef>
#include <string>
#include <vector>

// The harmonics level k keeps: 0 .. MipmapCut(n, k) - 1.
std::size_t MipmapCut(std::size_t n, int level);
// The levels a table of n samples has: while a level keeps a harmonic beside DC.
int MipmapLevels(std::size_t n);

// Levels 0 .. levels - 1 of the frame, one after another; with `halve` level k holds
// n >> k samples. Throws std::bad_alloc.
std::vector<std::vector<double>> Mipmaps(const double* frame, std::size_t n, int levels,
                                         bool halve);
