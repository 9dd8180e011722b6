// Runs a script file and prints how long the run took, in seconds; the
// console goes to standard error so that only the time is on standard output.
#include "morvane/MvHost.h"
#include "morvane/MvParser.h"
#include "morvane/MvPlugin.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SCRIPT\n", argv[0]);
        return 3;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string script = text.str();
    MvPluginRegistryInitInternal();   // the built-in namespaces, as a host does once
    MvParser* session = MvParserCreate(script.c_str(), static_cast<long>(script.size()), nullptr);
    auto start = std::chrono::steady_clock::now();
    MvParserExecute(session);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Mv_stringstream* console = MvParserGetConsoleStream(session);
    std::cerr << console->str();
    MvParserReleaseConsoleStream(session);
    int failed = MvParserGetErrorFlag(session) || MvParserGetRunErrorFlag(session);
    MvParserDelete(session);
    std::printf("%.6f\n", seconds);
    return failed ? 1 : 0;
}
