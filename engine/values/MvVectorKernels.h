// The element loops of vector arithmetic and statistics.
//
// Plain loops over contiguous doubles with no calls inside, so that the
// compiler can keep them in registers and vectorise them. out may be the
// same array as a or b (in-place arithmetic): no loop reads a position
// after writing it, and element i of the result depends on position i only.
#ifndef MORVANE_ENGINE_MVVECTORKERNELS_H
#define MORVANE_ENGINE_MVVECTORKERNELS_H

#include <cstddef>

namespace MvVectorKernels {

void add(const double* a, const double* b, double* out, std::size_t n);
void subtract(const double* a, const double* b, double* out, std::size_t n);
void multiply(const double* a, const double* b, double* out, std::size_t n);
void divide(const double* a, const double* b, double* out, std::size_t n);

void addScalar(const double* a, double x, double* out, std::size_t n);
void multiplyScalar(const double* a, double x, double* out, std::size_t n);

// The position of the first element equal to 0.0, or n when there is none.
std::size_t firstZero(const double* a, std::size_t n);

double sum(const double* a, std::size_t n);
// Sum of (a[i] - centre)^2.
double sumOfSquaredDeviations(const double* a, double centre, std::size_t n);
// Sum of (a[i] - b[i])^2.
double sumOfSquaredDifferences(const double* a, const double* b, std::size_t n);
// The largest a[i]^2, starting from 0.
double largestSquare(const double* a, std::size_t n);

} // namespace MvVectorKernels

#endif
