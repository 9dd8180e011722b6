// The vector search of the built-in Find: the position where a number, or a
// vector slid along as a window, fits best by squared difference.
#include "MvVectorKernels.h"
#include "MvVectorValue.h"
#include "morvane/MvException.h"
#include "morvane/MvVectorApi.h"
#include "platform/MvInterruptPoll.h"

namespace {

// Where the searches start: worse than any real fit, and what a search
// with no position to try returns.
constexpr double kNoFit = 9.999999e105;

MvValue* fitAt(std::size_t position, double difference) {
    return new MvVectorValue({static_cast<double>(position), difference});
}

MvValue* findNumber(const std::vector<double>& v, double x) {
    double best = kNoFit;
    std::size_t bestPosition = 0;
    for (std::size_t k = 0; k < v.size(); ++k) {
        double d = v[k] - x;
        if (d * d < best) {
            best = d * d;
            bestPosition = k;
        }
    }
    return fitAt(bestPosition, best);
}

// A window longer than the vector has no position to try; an empty window
// fits at once at position 0.
MvValue* findWindow(const std::vector<double>& v, const std::vector<double>& pattern) {
    const std::size_t m = pattern.size();
    if (m == 0)
        return fitAt(0, 0.0);
    if (m > v.size())
        return fitAt(0, kNoFit);
    double best = kNoFit;
    std::size_t bestPosition = 0;
    // A long vector and a long window make n x m steps: the host may stop it.
    MvYieldPoll poll;
    for (std::size_t k = 0; k + m <= v.size(); ++k) {
        poll.tick(m);
        double s = MvVectorKernels::sumOfSquaredDifferences(v.data() + k, pattern.data(), m);
        if (s < best) {
            best = s;
            bestPosition = k;
        }
    }
    return fitAt(bestPosition, best / static_cast<double>(m));
}

} // namespace

MvValue* FindInVector(MvValue* vector, MvValue* what) {
    const std::vector<double>& v = *vector->GetVector();
    switch (what ? what->GetType() : MvTypeUndefined) {
    case MvTypeNumber:
        return findNumber(v, what->GetNumber());
    case MvTypeVector:
        return findWindow(v, *what->GetVector());
    default:
        MvRaise("Type mismatch: expect find(vector,(vector | number))");
    }
}
