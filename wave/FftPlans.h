#pragma once
// FFTW's real transforms of a length, planned once for the rest of the run and shared between
// threads, and the aligned buffers their new-array execution needs.

#include <complex>
#include <cstddef>
#include <memory>

struct FftwFree {
    std::size_t bytes = 0;
    void operator()(void* p) const;
};
template <class T> using FftwBuffer = std::unique_ptr<T[], FftwFree>;

// Aligned room for `count` values, in large pages where it is large; throws std::bad_alloc
// when it cannot be had.
FftwBuffer<double> FftReals(std::size_t count);
FftwBuffer<std::complex<double>> FftBins(std::size_t count);

// The n / 2 + 1 bins of n real samples, unscaled.
void ForwardFft(std::size_t n, double* samples, std::complex<double>* bins);
// The n real samples of n / 2 + 1 bins, unscaled (n times the inverse); `bins` is overwritten.
void BackwardFft(std::size_t n, std::complex<double>* bins, double* samples);
