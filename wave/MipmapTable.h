#pragma once
// Band-limited levels as a C table: a comment naming each level's highest harmonic, then
// float Mipmaps[F x levels][N], frame by frame; halved levels each an array of their own.

#include <cstdint>
#include <vector>

#include "files/OutputBuffer.h"

// `tables` holds each frame's `levels` levels one after another.
bool WriteMipmapTable(const TextSink& sink, const std::vector<std::vector<double>>& tables,
                      std::uint32_t frames, int levels, std::uint32_t frameSize, bool halve);
