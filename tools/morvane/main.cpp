// morvane: the command-line host of the Morvane engine.
#include "HostOptions.h"
#include "HostRun.h"
#include "PluginGlue.h"

#include "morvane/MvHost.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    HostOptions options;
    std::string error;
    if (!parseHostOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "morvane: %s\n", error.c_str());
        printHostUsage(stderr);
        return kExitUsage;
    }
    try {
        switch (options.command) {
        case HostCommand::Help:
            printHostUsage(stdout);
            return kExitOk;
        case HostCommand::Version:
            std::printf("morvane %s\n", MvGetVersionString());
            return kExitOk;
        case HostCommand::Functions:
            return listFunctions(options.functionArgs, options.defaultPlugins);
        case HostCommand::Run:
            return runCommand(options);
        case HostCommand::Check:
            return checkCommand(options);
        case HostCommand::Lex:
            return lexCommand(options);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "morvane: %s\n", failure.what());
    } catch (...) {
        std::fputs("morvane: unexpected failure\n", stderr);
    }
    return kExitUsage;
}
