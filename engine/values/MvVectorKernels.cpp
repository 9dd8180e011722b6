#include "MvVectorKernels.h"

namespace {

// Four elements per round, all read before any is written: the compiler can
// then turn each round into vector instructions without proving that out
// does not overlap a or b (which it may, exactly, for in-place arithmetic).
template <class Op>
inline void elementWise(const double* a, const double* b, double* out, std::size_t n, Op op) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const double r0 = op(a[i], b[i]), r1 = op(a[i + 1], b[i + 1]);
        const double r2 = op(a[i + 2], b[i + 2]), r3 = op(a[i + 3], b[i + 3]);
        out[i] = r0;
        out[i + 1] = r1;
        out[i + 2] = r2;
        out[i + 3] = r3;
    }
    for (; i < n; ++i)
        out[i] = op(a[i], b[i]);
}

template <class Op>
inline void withScalar(const double* a, double x, double* out, std::size_t n, Op op) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const double r0 = op(a[i], x), r1 = op(a[i + 1], x);
        const double r2 = op(a[i + 2], x), r3 = op(a[i + 3], x);
        out[i] = r0;
        out[i + 1] = r1;
        out[i + 2] = r2;
        out[i + 3] = r3;
    }
    for (; i < n; ++i)
        out[i] = op(a[i], x);
}

auto plus = [](double x, double y) { return x + y; };
auto minus = [](double x, double y) { return x - y; };
auto times = [](double x, double y) { return x * y; };
auto over = [](double x, double y) { return x / y; };

} // namespace

namespace MvVectorKernels {

void add(const double* a, const double* b, double* out, std::size_t n) {
    elementWise(a, b, out, n, plus);
}

void subtract(const double* a, const double* b, double* out, std::size_t n) {
    elementWise(a, b, out, n, minus);
}

void multiply(const double* a, const double* b, double* out, std::size_t n) {
    elementWise(a, b, out, n, times);
}

void divide(const double* a, const double* b, double* out, std::size_t n) {
    elementWise(a, b, out, n, over);
}

void addScalar(const double* a, double x, double* out, std::size_t n) {
    withScalar(a, x, out, n, plus);
}

void multiplyScalar(const double* a, double x, double* out, std::size_t n) {
    withScalar(a, x, out, n, times);
}

std::size_t firstZero(const double* a, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] == 0.0)
            return i;
    return n;
}

// The sums keep four partial sums: one running sum would make every
// addition wait for the previous one, and the compiler may not reorder
// floating-point additions by itself.
double sum(const double* a, std::size_t n) {
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        s0 += a[i];
        s1 += a[i + 1];
        s2 += a[i + 2];
        s3 += a[i + 3];
    }
    for (; i < n; ++i)
        s0 += a[i];
    return (s0 + s1) + (s2 + s3);
}

double sumOfSquaredDeviations(const double* a, double centre, std::size_t n) {
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        double d0 = a[i] - centre, d1 = a[i + 1] - centre;
        double d2 = a[i + 2] - centre, d3 = a[i + 3] - centre;
        s0 += d0 * d0;
        s1 += d1 * d1;
        s2 += d2 * d2;
        s3 += d3 * d3;
    }
    for (; i < n; ++i) {
        double d = a[i] - centre;
        s0 += d * d;
    }
    return (s0 + s1) + (s2 + s3);
}

double sumOfSquaredDifferences(const double* a, const double* b, std::size_t n) {
    double s = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        double d = a[i] - b[i];
        s += d * d;
    }
    return s;
}

double largestSquare(const double* a, std::size_t n) {
    double largest = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        double square = a[i] * a[i];
        if (square > largest)
            largest = square;
    }
    return largest;
}

} // namespace MvVectorKernels
