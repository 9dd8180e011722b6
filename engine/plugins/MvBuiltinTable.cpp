// The built-in namespaces: every signature, in registration order, entered
// through the same declare-and-commit interface a plug-in uses.
#include "MvBuiltins.h"

#include "morvane/MvColorApi.h"
#include "morvane/MvScalarApi.h"
#include "morvane/MvVectorApi.h"
#include "plugins/MvPluginSignature.h"
#include "values/MvEntryGuard.h"
#include "values/MvVectorValue.h"

#include <vector>

namespace {

using namespace MvBuiltins;

const MvType kNone;
const MvType kNumber(MvTypeNumber);
const MvType kBoolean(MvTypeBoolean);
const MvType kVector(MvTypeVector);
const MvType kText(MvTypeText);
const MvType kList(MvTypeList);
const MvType kColor(MvTypeColor);
const MvType kFrame(MvTypeFrame);
const MvType kImageMono(MvTypeImageMono);
const MvType kAnyImage = MvType(MvTypeFrameMono) | MvTypeFrame | MvTypeImageMono | MvTypeImage;
const MvType kColourImage = MvTypeFrame | MvTypeImage;
const MvType kNumberVectorColor = MvTypeNumber | MvTypeVector | MvTypeColor;
const MvType kNumberOrVector = MvTypeNumber | MvTypeVector;
const MvType kNumberOrColor = MvTypeNumber | MvTypeColor;

MvValue* number(double v) { return MvNumberCreate(v); }
MvValue* boolean(bool v) { return MvBooleanCreate(v); }
MvValue* text(const char* v) { return MvTextCreate(v); }
MvValue* black() { return MvColorValueCreate(0, 0, 0); }
MvValue* origin() { return new MvVectorValue({0, 0}); }

// One signature: its parameters are collected, then declared and committed
// in one go, so the signature is made with exactly their count.
class Builtin {
public:
    // touchesFiles: the function works with paths relative to the current
    // directory, so it is called with the script's folder made current.
    Builtin(const char* nameSpace, const char* name, MvType result, MvPluginFunction function,
            bool touchesFiles = false)
        : nameSpace_(nameSpace), name_(name), result_(result), function_(function),
          touchesFiles_(touchesFiles) {}

    Builtin& required(MvType type, const char* name) {
        return add(type, name, MvParamRequired, MvArgumentNotConsumed);
    }
    Builtin& dynamic(MvType type, const char* name) {
        return add(type, name, MvParamDynamic, MvArgumentNotConsumed);
    }
    Builtin& byDefault(MvType type, const char* name, MvValue* value) {
        return add(type, name, value, MvArgumentNotConsumed);
    }
    Builtin& byReference(MvType type, const char* name) {
        return add(type, name, MvParamRequired, MvArgumentByReference);
    }

    void commit(const char* description) {
        auto* signature = new MvPluginSignature(
            static_cast<std::uint32_t>(parameters_.size()), result_,
            std::make_unique<MvFunctionContainerPlugin>(function_, touchesFiles_));
        for (const Parameter& p : parameters_)
            MvPluginSignatureSetParam(signature, p.type, p.name, p.defaultValue, p.consumed);
        MvPluginSignatureCommit(signature, nameSpace_, name_, description);
    }

private:
    struct Parameter {
        MvType type;
        const char* name;
        MvValue* defaultValue;
        MvEnumArgumentConsumed consumed;
    };

    Builtin& add(MvType type, const char* name, MvValue* defaultValue,
                 MvEnumArgumentConsumed consumed) {
        parameters_.push_back({type, name, defaultValue, consumed});
        return *this;
    }

    const char* nameSpace_;
    const char* name_;
    MvType result_;
    MvPluginFunction function_;
    bool touchesFiles_;
    std::vector<Parameter> parameters_;
};

// The eleven parameters shared by the image forms of Find.Correlate and Find.Map.
Builtin& correlationParameters(Builtin&& b) {
    return b.required(kAnyImage, "source")
        .required(kAnyImage, "match")
        .dynamic(kVector, "topleft")
        .dynamic(kVector, "bottomright")
        .dynamic(kNumber, "scale")
        .byDefault(kBoolean, "gray", boolean(false))
        .dynamic(kNumber, "overhang_area")
        .dynamic(kAnyImage, "weight")
        .byDefault(kVector, "weight_origin", origin())
        .byDefault(kBoolean, "sub_pixel", boolean(false))
        .byDefault(kText, "internal_test_choose_core", text("fastest"));
}

} // namespace

static void registerBuiltins() {
    Builtin("Function", "GetNameSpaces", kList, getNameSpaces).commit("List the namespaces.");
    Builtin("Function", "GetFunctions", kList, getFunctions).commit("List all the function names.");
    Builtin("Function", "GetFunctions", kList, getFunctionsIn)
        .required(kText, "namespace")
        .commit("List all the function names in the namespace.");
    Builtin("Function", "GetFunctionSignatures", kList, getSignatures)
        .commit("List all the function signatures.");
    Builtin("Function", "GetFunctionSignatures", kList, getSignaturesInternal)
        .required(kText, "name")
        .commit("List all the internal function signatures.");
    Builtin("Function", "GetFunctionSignatures", kList, getSignaturesIn)
        .required(kText, "namespace")
        .commit("List all the function signatures in the namespace.");
    Builtin("Function", "GetFunctionSignatures", kList, getSignaturesOf)
        .required(kText, "namespace")
        .required(kText, "name")
        .commit("Get the specified function signatures.");

    Builtin("Frame", "Grab", kFrame, frameGrab)
        .byDefault(kNumber, "width", number(320))
        .byDefault(kNumber, "height", number(240))
        .commit("Grab a single frame from a camera.");
    Builtin("Frame", "DeInterlaceOdd", kAnyImage, frameDeInterlaceOdd)
        .required(kAnyImage, "source")
        .commit("De-Interlace and return the odd numbered lines");
    Builtin("Frame", "DeInterlaceEven", kAnyImage, frameDeInterlaceEven)
        .required(kAnyImage, "source")
        .commit("De-Interlace and return the even numbered lines");
    Builtin("Frame", "Interlace", kAnyImage, frameInterlace)
        .required(kAnyImage, "even")
        .required(kAnyImage, "odd")
        .commit("Combine the two frames, interleaving their lines.");
    Builtin("Frame", "GetAlpha", kColourImage, frameGetAlpha)
        .required(kColourImage, "source")
        .commit("Return a frame containing the alpha channel of the source.");
    Builtin("Frame", "SetAlpha", kColourImage, frameSetAlpha)
        .required(kColourImage, "source")
        .required(kAnyImage, "alpha")
        .commit("Set the alpha channel of the source to the 'alpha' parameter.");

    Builtin("Math", "Sum", kColor, sumImage)
        .required(kAnyImage, "x")
        .commit("Return the sum of all the pixels in x.");
    Builtin("Math", "Sum", kNumber, sumVector)
        .required(kVector, "x")
        .commit("Return the sum of all the elements in x.");
    Builtin("Math", "Difference", kNumber, differenceOfVectors)
        .required(kVector, "x")
        .required(kVector, "y")
        .commit("\tReturn a single number (0..1)\n\trepresenting the difference between\n\tx and y.");
    Builtin("Math", "Difference", kNumber, differenceOfImages)
        .required(kAnyImage, "x")
        .required(kAnyImage, "y")
        .byDefault(kNumber, "threshold", number(0))
        .commit("\tReturn a single number (0..1)\n\trepresenting the difference between\n\tx and y. "
                "Only pixel differences above the\n\t'threshold' parameter are taken into account.");

    Builtin("File", "DirectoryList", kList, directoryList, true)
        .byDefault(kText, "path", text(""))
        .byDefault(kText, "filter", text(""))
        .commit("List the files in a directory.\n\tList only those ending with 'filter'.");
    Builtin("File", "Size", kNumber, fileSize, true)
        .required(kText, "path")
        .commit("Number of bytes in the file.");
    Builtin("File", "CreateDirectory", kNone, createDirectory, true)
        .required(kText, "path")
        .commit("Create a directory.");
    Builtin("File", "Copy", kNone, copyFile, true)
        .required(kText, "old_path")
        .required(kText, "new_path")
        .commit("Copy the file 'old_path' to 'new_path'.\n\tThis will delete the destination file if it exists");
    Builtin("File", "Delete", kNone, deleteFile, true)
        .required(kText, "path")
        .commit("Delete the file 'path'");

    Builtin("Math", "Minimum", kVector, minimumOfVector)
        .required(kVector, "x")
        .commit("Return the smallest element and it's position.");
    Builtin("Math", "Minimum", kVector, minimumOfImage)
        .required(kAnyImage, "source")
        .byDefault(kVector, "origin_location", origin())
        .byDefault(kBoolean, "sub_pixel", boolean(false))
        .commit("Return the position and luminance of the pixel with the smallest luminance. The "
                "return vector contains {x, y, min_luminance} where x and y are the co-ordinates "
                "of the minimum.");
    Builtin("Math", "Maximum", kVector, maximumOfVector)
        .required(kVector, "x")
        .commit("Return the largest element and it's position.");
    Builtin("Math", "Maximum", kVector, maximumOfImage)
        .required(kAnyImage, "source")
        .byDefault(kVector, "origin_location", origin())
        .byDefault(kBoolean, "sub_pixel", boolean(false))
        .commit("Return the position and luminance of the pixel with the largest luminance. The "
                "return vector contains {x, y, max_luminance} where x and y are the co-ordinates "
                "of the maximum.");
    Builtin("Math", "Minimum", kAnyImage, minimum)
        .required(kAnyImage, "x")
        .required(kAnyImage, "y")
        .commit("Return an image made up of the lesser pixels of the two parameters.");
    Builtin("Math", "Maximum", kAnyImage, maximum)
        .required(kAnyImage, "x")
        .required(kAnyImage, "y")
        .commit("Return an image made up of the greater pixels of the two parameters.");
    Builtin("Math", "Minimum", kNumber, minimum)
        .required(kNumber, "x")
        .required(kNumber, "y")
        .commit("Return the lesser of the two parameters.");
    Builtin("Math", "Maximum", kNumber, maximum)
        .required(kNumber, "x")
        .required(kNumber, "y")
        .commit("Return the greater of the two parameters.");

    Builtin("Filter", "Replace", kAnyImage, filterReplace)
        .required(kAnyImage, "x")
        .required(kNumberVectorColor, "min")
        .required(kNumberVectorColor, "max")
        .required(kNumberVectorColor, "replacement_color")
        .byDefault(kBoolean, "inclusive", boolean(true))
        .commit("Replace the pixels within min..max\n\twith the replacement color.");
    Builtin("Filter", "Normalize", kAnyImage, filterNormalize)
        .required(kAnyImage, "x")
        .dynamic(kNumberVectorColor, "min")
        .dynamic(kNumberVectorColor, "max")
        .commit("Rescale the pixels within min..max\n\tto lie between 0 and 1.");
    Builtin("Filter", "Normalize", kNone, filterNormalizeInPlace)
        .byReference(kAnyImage, "x")
        .dynamic(kNumberVectorColor, "min")
        .dynamic(kNumberVectorColor, "max")
        .commit("Rescale the pixels within min..max\n\tto lie between 0 and 1.");

    Builtin("Math", "Average", kNumber, average)
        .required(kVector, "x")
        .commit("Return the average element of the vector x.");
    Builtin("Math", "Average", kColor, averageOfImage)
        .required(kAnyImage, "x")
        .commit("Return the average of the pixels of the image x.");
    Builtin("Math", "StdDev", kNumber, standardDeviation)
        .required(kVector, "x")
        .commit("Return the standard deviation of\n\tthe elements of x.");
    Builtin("Math", "StdDev", kColor, standardDeviationOfImage)
        .required(kAnyImage, "x")
        .commit("Return the standard deviation of\n\tthe elements of x.");
    Builtin("Math", "Random", kNumber, random)
        .byDefault(kNumber, "min", number(0))
        .byDefault(kNumber, "max", number(1))
        .commit("\tReturn a random number between\n\tmin and max.");
    Builtin("Math", "RandomSeed", kNone, randomSeed)
        .required(kNumber, "seed")
        .commit("Seed the random number generator.");

    Builtin("Find", "Correlate", kVector, correlateVector)
        .required(kVector, "source")
        .required(kNumberOrVector, "match")
        .commit("Locate the match within the source vector.\n\treturn the index and a quality of fit.");
    correlationParameters(Builtin("Find", "Correlate", kVector, correlateImage))
        .commit("Return position of the match frame in the source");
    correlationParameters(Builtin("Find", "Map", kImageMono, findMap))
        .commit("Return a map of the correlation between match and source.");
    Builtin("Find", "Region", kList, findRegion)
        .required(kAnyImage, "source")
        .required(kNumber, "value")
        .byDefault(kNumber, "tolerance", number(0))
        .byDefault(kNumber, "min_area", number(1))
        .byDefault(kNumber, "min_width", number(0))
        .byDefault(kNumber, "min_height", number(0))
        .byDefault(kNumber, "radius", number(1))
        .byDefault(kBoolean, "list_points", boolean(false))
        .byDefault(kBoolean, "return_frame", boolean(false))
        .byDefault(kNumber, "edge_value", number(1))
        .byDefault(kVector, "topleft", origin())
        .dynamic(kVector, "bottomright")
        .commit("Find Regions of a particular luminance");

    Builtin("TestHarness", "Clear", kNone, testClear, true)
        .commit("Erase the testharness log file.");
    Builtin("TestHarness", "Begin", kNone, testBegin, true)
        .required(kText, "testname")
        .commit("Print the testname to the log file.");
    Builtin("TestHarness", "End", kNone, testEnd, true)
        .dynamic(kBoolean, "success")
        .commit("Write success or failure and timing to log file.");
    Builtin("TestHarness", "Require", kNone, testRequire)
        .required(kBoolean, "condition")
        .commit("Require the condition to be true.");
    Builtin("TestHarness", "Logging", kNone, testLogging)
        .required(kBoolean, "active")
        .commit("Turn loggin on or off for debug version (does nothing in all released versions).");
    Builtin("TestHarness", "LogNames", kNone, testLogNames)
        .required(kBoolean, "active")
        .commit("If on, saves names of all files run to logfiles.txt (only  MacOS X command line).");
    Builtin("TestHarness", "IsDebug", kBoolean, testIsDebug)
        .commit("Return whether this is a debug build (always false for released versions.");

    Builtin("Draw", "Circle", kNone, drawCircle)
        .byReference(kAnyImage, "canvas")
        .required(kNumber, "radius")
        .byDefault(kNumber, "x", number(0))
        .byDefault(kNumber, "y", number(0))
        .byDefault(kColor, "obj_color", black())
        .byDefault(kBoolean, "fill", boolean(false))
        .byDefault(kText, "mode", text("copy"))
        .byDefault(kNumberOrColor, "weight", number(1))
        .commit("Draw a circle over a frame");
    Builtin("Draw", "Rectangle", kNone, drawRectangle)
        .byReference(kAnyImage, "canvas")
        .required(kNumber, "width")
        .required(kNumber, "height")
        .byDefault(kNumber, "x", number(0))
        .byDefault(kNumber, "y", number(0))
        .byDefault(kColor, "obj_color", black())
        .byDefault(kBoolean, "fill", boolean(false))
        .byDefault(kText, "mode", text("copy"))
        .byDefault(kNumberOrColor, "weight", number(1))
        .commit("Draw a rectangle over a frame");
    Builtin("Draw", "Line", kNone, drawLine)
        .byReference(kAnyImage, "canvas")
        .byDefault(kNumber, "x1", number(0))
        .byDefault(kNumber, "y1", number(0))
        .byDefault(kNumber, "x2", number(0))
        .byDefault(kNumber, "y2", number(0))
        .byDefault(kColor, "obj_color", black())
        .byDefault(kText, "mode", text("copy"))
        .byDefault(kNumberOrColor, "weight", number(1))
        .commit("Draw a line over a frame");

    Builtin("Fractal", "Mandelbrot", kFrame, fractalMandelbrot)
        .byDefault(kNumber, "x", number(-0.7))
        .byDefault(kNumber, "y", number(0))
        .byDefault(kNumber, "scale", number(2.2))
        .byDefault(kNumber, "width", number(320))
        .byDefault(kNumber, "height", number(240))
        .dynamic(kNumber, "depth")
        .byDefault(kText, "colortype", text("log"))
        .byDefault(kNumber, "numbercolors", number(200))
        .byDefault(kNumber, "winding", number(3))
        .byDefault(kNumber, "gradient", number(0.02))
        .commit("Generate a Fractal Frame of the Mandelbrot Set.");
    Builtin("Fractal", "Julia", kFrame, fractalJulia)
        .required(kNumber, "x")
        .required(kNumber, "y")
        .byDefault(kNumber, "scale", number(4))
        .byDefault(kNumber, "size", number(320))
        .byDefault(kNumber, "depth", number(250))
        .byDefault(kText, "colortype", text("fixedlog"))
        .byDefault(kNumber, "numbercolors", number(200))
        .byDefault(kNumber, "winding", number(3))
        .byDefault(kNumber, "gradient", number(0.02))
        .commit("Generate a Fractal Frame of the Julia Set.");
    Builtin("Fractal", "MandelbrotPoint", kNumber, mandelbrotPoint)
        .required(kNumber, "x")
        .required(kNumber, "y")
        .byDefault(kNumber, "depth", number(32000))
        .commit("Evaluate the Mandelbrot escape count at a point.");

    Builtin("System", "Processor", kText, processor).commit("Return the CPU name (e.g. x86).");
    Builtin("System", "MorvaneVersion", kVector, morvaneVersion)
        .commit("Return a vector containing version information. The format is "
                "{major,minor,build}.\r\rFor example, the version 1.9.3 is {1,9,3}.");
    Builtin("System", "OS", kText, operatingSystem)
        .commit("Return the name of the operating system 'MacOS', 'MacOSX' 'Windows'.");
    Builtin("Client", "SetWindowPosition", kNone, setWindowPosition)
        .required(kText, "id")
        .required(kNumber, "x")
        .required(kNumber, "y")
        .commit("Set the position of a window in screen co-ordinates.");
}

void MvPluginRegistryInitInternal() { MV_GUARDED_VOID_ENTRY(registerBuiltins();); }
