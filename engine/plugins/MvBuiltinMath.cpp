// The Function namespace, Math on numbers and vectors, the vector form of
// Find.Correlate and the escape count of a Mandelbrot point.
#include "MvBuiltins.h"

#include "morvane/Mv2DValue.h"
#include "morvane/MvException.h"
#include "morvane/MvScalarApi.h"
#include "morvane/MvVectorApi.h"
#include "platform/MvInterruptPoll.h"
#include "plugins/MvPluginRegistry.h"
#include "values/MvListValue.h"
#include "values/MvNoValue.h"
#include "values/MvVectorValue.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

MvPluginRegistry* registry() { return MvPluginRegistry::THE_PluginRegistry(); }

MvValue* noValue() { return new MvNoValue(); }

// Fails the call with message and gives the no-value.
MvValue* fail(MvPluginErrorBlock* error, const char* message) {
    MvPluginErrorBlockSetMessage(error, message);
    return noValue();
}

MvVectorValue* vectorArgument(MvParameterBlock* params, const char* name) {
    MvVectorValue* vector = MvValueAsVector(MvParameterBlockGetValue(params, name));
    if (!vector)
        MvRaise("Illegal attempt to coerce another type to vector in plugin");
    return vector;
}

bool isImageKind(MvTypeEnum type) {
    return type == MvTypeFrameMono || type == MvTypeFrame || type == MvTypeImageMono ||
           type == MvTypeImage;
}

// The two-argument extremes: of numbers, or pixel by pixel of images.
MvValue* extreme(MvPluginErrorBlock* error, MvParameterBlock* params, bool greatest,
                 const char* unsupported) {
    MvValue* x = MvParameterBlockGetValue(params, "x");
    MvValue* y = MvParameterBlockGetValue(params, "y");
    const MvTypeEnum type = x->GetType();
    if (type != y->GetType())
        return fail(error, "Both parameters must have the same type.");
    if (type == MvTypeNumber) {
        const double a = x->GetNumber();
        const double b = y->GetNumber();
        return MvNumberCreate(greatest ? (a > b ? a : b) : (a < b ? a : b));
    }
    if (isImageKind(type)) {
        Mv2DValue* image = static_cast<Mv2DValue*>(x);
        return greatest ? image->BinaryMax(y) : image->BinaryMin(y);
    }
    return fail(error, unsupported);
}

// The first smallest or largest element and its position: {value, position}.
MvValue* extremeOfVector(MvParameterBlock* params, bool greatest) {
    MvVectorValue* vector = vectorArgument(params, "x");
    std::int32_t position = 0;
    double value = 0;
    if (greatest)
        MvVectorUnaryMax(vector, &position, &value);
    else
        MvVectorUnaryMin(vector, &position, &value);
    return new MvVectorValue({value, static_cast<double>(position)});
}

// The generator behind Math.Random: the 15-bit linear congruential sequence
// of the classic C library rand (seed 1 until seeded), so that results range
// over 0..32767 on every platform and a seed always repeats its sequence.
std::uint32_t randomState = 1;

int nextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

std::int32_t truncatedToInt32(double v) {
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

} // namespace

namespace MvBuiltins {

// ------------------------------------------------------------------ Function

MvValue* getNameSpaces(MvPluginErrorBlock*, MvParameterBlock*) {
    return registry()->GetNameSpaceNames();
}

MvValue* getFunctions(MvPluginErrorBlock*, MvParameterBlock*) {
    return registry()->GetFunctionNames();
}

MvValue* getFunctionsIn(MvPluginErrorBlock*, MvParameterBlock* params) {
    return registry()->GetFunctionNames(MvParameterBlockGetTextValue(params, "namespace"));
}

MvValue* getSignatures(MvPluginErrorBlock*, MvParameterBlock*) {
    return registry()->GetSignatures();
}

// The process-wide registry never holds internal functions, so this form
// reports that the namespace does not exist.
MvValue* getSignaturesInternal(MvPluginErrorBlock*, MvParameterBlock* params) {
    return registry()->GetSignatures(MvInternalNameSpace,
                                     MvParameterBlockGetTextValue(params, "name"));
}

MvValue* getSignaturesIn(MvPluginErrorBlock*, MvParameterBlock* params) {
    return registry()->GetSignatures(MvParameterBlockGetTextValue(params, "namespace"));
}

MvValue* getSignaturesOf(MvPluginErrorBlock*, MvParameterBlock* params) {
    return registry()->GetSignatures(MvParameterBlockGetTextValue(params, "namespace"),
                                     MvParameterBlockGetTextValue(params, "name"));
}

// ---------------------------------------------------------------------- Math

// The element count times the mean: an empty vector gives 0 x NaN.
MvValue* sumVector(MvPluginErrorBlock*, MvParameterBlock* params) {
    MvVectorValue* vector = vectorArgument(params, "x");
    return MvNumberCreate(MvVectorSize(vector) * MvVectorAverage(vector));
}

MvValue* average(MvPluginErrorBlock*, MvParameterBlock* params) {
    return MvParameterBlockGetValue(params, "x")->Average();
}

MvValue* standardDeviation(MvPluginErrorBlock*, MvParameterBlock* params) {
    return MvParameterBlockGetValue(params, "x")->Sdev();
}

MvValue* minimumOfVector(MvPluginErrorBlock*, MvParameterBlock* params) {
    return extremeOfVector(params, false);
}

MvValue* maximumOfVector(MvPluginErrorBlock*, MvParameterBlock* params) {
    return extremeOfVector(params, true);
}

MvValue* minimum(MvPluginErrorBlock* error, MvParameterBlock* params) {
    return extreme(error, params, false, "Unsupported type in Math.Minimum()");
}

MvValue* maximum(MvPluginErrorBlock* error, MvParameterBlock* params) {
    return extreme(error, params, true, "Unsupported type in Math.Maximum()");
}

MvValue* differenceOfVectors(MvPluginErrorBlock* error, MvParameterBlock* params) {
    MvValue* x = MvParameterBlockGetValue(params, "x");
    MvValue* y = MvParameterBlockGetValue(params, "y");
    if (x->GetType() != y->GetType())
        return fail(error, "Both parameters must have the same type.");
    if (x->GetType() != MvTypeVector)
        return fail(error, "Unsupported type in Math.Difference()");
    try {
        if (x->GetVector()->size() != y->GetVector()->size()) {
            MvPluginErrorBlockSetMessage(error, "Vectors are different sizes.");
            return MvNumberCreate(1);
        }
        return x->Difference(y, 0, false);
    } catch (MvException* caught) {
        delete caught;
    } catch (...) {
    }
    MvPluginErrorBlockSetMessage(error, "Unknown Internal Error");
    return MvNumberCreate(1);
}

// min + (max - min) x r with r = k / 32767 for k in 0..32767: both ends can
// come up. A reversed range still gives its number but fails the call.
MvValue* random(MvPluginErrorBlock* error, MvParameterBlock* params) {
    const double min = MvParameterBlockGetNumberValue(params, "min");
    const double max = MvParameterBlockGetNumberValue(params, "max");
    const double r = nextRandom() * 3.051850947599719e-05;
    if (min > max)
        MvPluginErrorBlockSetMessage(error, "max must be greater than min");
    return MvNumberCreate(min + (max - min) * r);
}

// The seed is seed x 1000 as a 32-bit integer, modulo 65535 (keeping the
// sign, which the generator then reads as unsigned).
MvValue* randomSeed(MvPluginErrorBlock*, MvParameterBlock* params) {
    const std::int32_t seed =
        truncatedToInt32(MvParameterBlockGetNumberValue(params, "seed") * 1000) % 65535;
    randomState = static_cast<std::uint32_t>(seed);
    return noValue();
}

// ------------------------------------------------------------------ Find

MvValue* correlateVector(MvPluginErrorBlock* error, MvParameterBlock* params) {
    MvValue* source = MvParameterBlockGetValue(params, "source");
    MvValue* match = MvParameterBlockGetValue(params, "match");
    if (source->GetType() == MvTypeVector)
        return FindInVector(source, match);
    if (source->GetType() != match->GetType())
        return fail(error, "Both parameters must have the same type.");
    return fail(error, "Unsupported type in Find()");
}

// --------------------------------------------------------------- Fractal

// Iterates z <- z^2 + c from z = 0 at most depth times; the count of steps
// up to and including the escaping one, less one, or -1 when the point does
// not escape.
MvValue* mandelbrotPoint(MvPluginErrorBlock*, MvParameterBlock* params) {
    const double cx = MvParameterBlockGetNumberValue(params, "x");
    const double cy = MvParameterBlockGetNumberValue(params, "y");
    const double depth = MvParameterBlockGetNumberValue(params, "depth");
    double zx = 0, zy = 0;
    long steps = 0;
    MvYieldPoll poll;   // the depth is the script's: it may be any number
    for (; steps < depth; ) {
        poll.tick();
        const double t = zx * zx;
        const double u = zy * zy;
        zy = 2 * zx * zy + cy;
        ++steps;
        if (t + u > 4)
            return MvNumberCreate(static_cast<double>(steps - 1));
        zx = t - u + cx;
    }
    return MvNumberCreate(-1);
}

} // namespace MvBuiltins
