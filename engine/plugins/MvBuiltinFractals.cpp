// Fractal.Mandelbrot and Fractal.Julia: the view from the parameter block,
// the colour table named by colortype, and the traced picture as a frame.
#include "MvBuiltins.h"

#include "image/MvColourTable.h"
#include "image/MvFractal.h"
#include "image/MvNewImageValue.h"
#include "morvane/MvException.h"
#include "values/MvNoValue.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace {

// Where users report a failure of the fractal code.
#define MV_FRACTAL_SUPPORT "morvane-support@morvane.org"

// The status of a colour table that could not be allocated.
constexpr int kMemoryStatus = -108;

// Tables larger than this are refused as an allocation failure.
constexpr double kLargestTable = 1 << 24;

// Pictures larger than this are refused as an allocation failure before
// anything is allocated (the system might promise the memory and fail only
// when it is touched).
constexpr double kLargestPicture = double(1 << 28);

void checkPictureSize(double width, double height) {
    if (width * height > kLargestPicture)
        throw std::bad_alloc();
}

std::int32_t whole(double v) {
    if (!(v == v))
        return 0;
    if (v >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

double number(MvParameterBlock* params, const char* name) {
    return MvParameterBlockGetNumberValue(params, name);
}

struct TableChoice {
    const char* error = nullptr;   // set when the parameters are refused
    std::unique_ptr<ColourTable> table;
};

// The table named by colortype for counts from smallest on. A table that
// cannot be allocated throws kMemoryStatus.
TableChoice colourTable(MvParameterBlock* params, std::int32_t smallest) {
    TableChoice choice;
    const char* type = MvParameterBlockGetTextValue(params, "colortype");
    const double colours = std::trunc(number(params, "numbercolors"));
    const double winding = number(params, "winding");
    const double gradient = number(params, "gradient");
    const bool fade = std::strcmp(type, "fade") == 0;
    const bool log = std::strcmp(type, "log") == 0, fixedLog = std::strcmp(type, "fixedlog") == 0;
    if (!fade && !log && !fixedLog && std::strcmp(type, "cycle") != 0) {
        choice.error = "Illegal colortype name";
        return choice;
    }
    if (fade && !(winding > 0)) {
        choice.error = "Illegal winding number, must be greater than 0";
        return choice;
    }
    if ((log || fixedLog) && !(gradient > 0)) {
        choice.error = "Illegal gradient, must be greater than 0";
        return choice;
    }
    if (!(colours >= 1) || colours > kLargestTable || (fade && colours * winding > kLargestTable))
        throw kMemoryStatus;
    const std::int32_t n = static_cast<std::int32_t>(colours);
    try {
        if (fade)
            choice.table.reset(new ColourTableSpiral(n, winding, smallest));
        else if (log || fixedLog)
            choice.table.reset(new ColourTableLog(n, gradient, fixedLog ? 1 : smallest));
        else
            choice.table.reset(new ColourTableCycle(n));
    } catch (const std::bad_alloc&) {
        throw kMemoryStatus;
    }
    return choice;
}

// Checks the colour parameters before the picture is traced, so that a
// refused call costs nothing.
const char* refusedColours(MvParameterBlock* params) {
    return colourTable(params, 1).error;
}

template <class Trace>
MvValue* render(MvPluginErrorBlock* error, MvParameterBlock* params, Trace trace) {
    try {
        if (const char* refused = refusedColours(params)) {
            MvPluginErrorBlockSetMessage(error, refused);
            return new MvNoValue();
        }
        const MvFractalCounts counts = trace();
        const TableChoice choice = colourTable(params, counts.smallest);
        return MvMakeImage(MvColourFractal(counts, *choice.table));
    } catch (int status) {
        MvPluginErrorBlockSetNumber(error, status);
        MvPluginErrorBlockSetMessage(error, "Internal Error in Fractal. Email " MV_FRACTAL_SUPPORT);
    } catch (const std::bad_alloc&) {
        MvPluginErrorBlockSetMessage(error, "Unknown Error in Fractal. Email " MV_FRACTAL_SUPPORT);
    } catch (MvMemoryException* failure) {
        delete failure;
        MvPluginErrorBlockSetMessage(error, "Unknown Error in Fractal. Email " MV_FRACTAL_SUPPORT);
    }
    return new MvNoValue();
}

} // namespace

namespace MvBuiltins {

MvValue* fractalMandelbrot(MvPluginErrorBlock* error, MvParameterBlock* params) {
    MvMandelbrotView view;
    view.x = number(params, "x");
    view.y = number(params, "y");
    view.scale = number(params, "scale");
    view.width = whole(number(params, "width"));
    view.height = whole(number(params, "height"));
    view.depth = MvParameterBlockIsDynamicGenerationRequired(params, "depth")
                     ? whole(200.0 * std::pow(view.scale / 2.0, -0.25))
                     : whole(number(params, "depth"));
    return render(error, params, [&] {
        checkPictureSize(view.width, view.height);
        return MvTraceMandelbrot(view);
    });
}

MvValue* fractalJulia(MvPluginErrorBlock* error, MvParameterBlock* params) {
    MvJuliaView view;
    view.cx = number(params, "x");
    view.cy = number(params, "y");
    view.scale = number(params, "scale");
    view.size = whole(number(params, "size"));
    view.depth = whole(number(params, "depth"));
    return render(error, params, [&] {
        checkPictureSize(view.size, view.size);
        return MvTraceJulia(view);
    });
}

} // namespace MvBuiltins
