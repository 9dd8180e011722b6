// The System and Client namespaces, and the image and media functions that
// wait for their value kinds.
#include "MvBuiltins.h"

#include "MvCallingContext.h"
#include "morvane/MvException.h"
#include "morvane/MvProcess.h"
#include "morvane/MvScalarApi.h"
#include "platform/MvPlatform.h"
#include "plugins/MvParameterBlock.h"
#include "values/MvNoValue.h"
#include "values/MvVectorValue.h"

namespace MvBuiltins {

MvValue* processor(MvPluginErrorBlock*, MvParameterBlock*) {
    return MvTextCreate(MvPlatform::processorName().c_str());
}

MvValue* operatingSystem(MvPluginErrorBlock*, MvParameterBlock*) {
    return MvTextCreate(MvPlatform::operatingSystemName().c_str());
}

MvValue* morvaneVersion(MvPluginErrorBlock*, MvParameterBlock*) {
    int major = 0, minor = 0, build = 0;
    MvGetVersion(&major, &minor, &build);
    return new MvVectorValue({double(major), double(minor), double(build)});
}

// The window of the variable named id, in the calling function's scope or
// else the global one.
MvValue* setWindowPosition(MvPluginErrorBlock*, MvParameterBlock* params) {
    const std::string id = MvParameterBlockGetTextValue(params, "id");
    const double x = MvParameterBlockGetNumberValue(params, "x");
    const double y = MvParameterBlockGetNumberValue(params, "y");
    MvTreeEval* evaluator = params->context();
    if (!evaluator)
        MvRaise("Client.SetWindowPosition() needs a running script.");
    MvCallerSetWindowPosition(*evaluator, id, x, y);
    return new MvNoValue();
}

} // namespace MvBuiltins

// Each of these fails through its error block, naming the function and the
// kind of value it needs.
#define MV_NOT_YET(native, function, kind)                                                     \
    MvValue* MvBuiltins::native(MvPluginErrorBlock* error, MvParameterBlock*) {                \
        MvPluginErrorBlockSetMessage(                                                          \
            error, function ": values of kind " kind " are not available in this build yet."); \
        return new MvNoValue();                                                                \
    }

MV_NOT_YET(frameGrab, "Frame.Grab", "videosource")
