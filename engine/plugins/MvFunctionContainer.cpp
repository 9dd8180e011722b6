#include "MvFunctionContainer.h"

#include "MvParameterBlock.h"
#include "morvane/MvException.h"

#include <sstream>

MvFunctionContainer::~MvFunctionContainer() = default;

MvFunctionContainerPlugin::MvFunctionContainerPlugin(MvPluginFunction entry,
                                                     bool usesCurrentDirectory)
    : entry_(entry), usesCurrentDirectory_(usesCurrentDirectory) {
    if (!entry)
        MvRaise("Nil function pointer in plug-in registration");
}

// The returned value is taken over before the error block is looked at, so
// that a failing function's value is freed.
void MvFunctionContainerPlugin::call(MvValueHolder& result, MvParameterBlock* arguments,
                                     MvParser*) {
    MvPluginErrorBlock error;
    result = entry_(&error, arguments);
    if (error.number != 0) {
        std::ostringstream text;
        text << "Plugin failed with error (#" << error.number << "):\n";
        if (!error.message.empty())
            text << '\t' << error.message;
        if (!error.url.empty())
            text << '\t' << error.url;
        result.release();
        MvRaise(text.str());
    }
}
