// A complete small host: runs one script file on a worker thread while the
// main thread copies the console to standard output, then writes the error
// records to standard error and lists the windows the script made.
//
//     mini_host SCRIPT [PLUGIN]...
//
// Exit status: 0 after a clean run, 1 after a run error, 2 after syntax
// errors, 3 when the script or a plug-in cannot be read.
#include "morvane/MvFile.h"
#include "morvane/MvGraphics.h"
#include "morvane/MvHost.h"
#include "morvane/MvParser.h"
#include "morvane/MvParserGuards.h"
#include "morvane/MvPluginApi.h"

#include <chrono>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

namespace {

struct SessionDeleter {
    void operator()(MvParser* session) const { MvParserDelete(session); }
};
using Session = std::unique_ptr<MvParser, SessionDeleter>;

bool readFile(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return static_cast<bool>(in);
}

// Loads one plug-in library; on failure the engine says why in message.
bool loadPlugin(const char* path) {
    MvValue* message = MvTextCreate("");
    std::int32_t status = 0;
    MvRegisterPlugin(MvValueAsText(message), &status, path);
    if (status != 0)
        std::cerr << "plug-in " << path << " not loaded (" << status
                  << "): " << MvTextGetTextPtr(MvValueAsText(message)) << "\n";
    MvTextDelete(message);
    return status == 0;
}

// Moves what the script printed so far to standard output. The console is
// read and emptied between its get and its release (the holder's lifetime).
void copyConsole(MvParser& session) {
    MvHeldConsole console(session);
    std::cout << console.stream().str() << std::flush;
    console.stream().str("");
}

void copyWarnings() {
    MvHeldWarningConsole warnings;
    std::cerr << warnings.stream().str();
    warnings.stream().str("");
}

void writeErrorRecords(MvParser& session) {
    MvHeldParseErrors errors(session);
    Mv_stringstream text;
    for (int i = 0; i < errors.count(); ++i)
        MvParseErrorWriteToStream(errors.at(i), &text);
    std::cerr << text.str();
}

void listWindows(MvParser& session) {
    MvHeldWindowList windows(session);
    for (long i = 0; i < windows.count(); ++i) {
        MvWindow* window = windows.at(i);
        mv_auto_value<MvGraphics> picture = window->getVsGraphics();
        std::cout << "window \"" << window->getTitle() << "\": " << window->getWidth()
                  << " x " << window->getHeight() << ", "
                  << (picture ? picture->getCount() : 0) << " drawing commands\n";
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: mini_host SCRIPT [PLUGIN]...\n";
        return 3;
    }
    std::string text;
    if (!readFile(argv[1], text)) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 3;
    }
    MvPluginRegistryInitInternal();   // the built-in namespaces: Math, File, ...
    for (int i = 2; i < argc; ++i)
        if (!loadPlugin(argv[i]))
            return 3;

    // File names in the script resolve against the script's folder.
    const MvFile folder(argv[1]);
    Session session(MvParserCreate(text.c_str(), static_cast<long>(text.size()), &folder));
    if (!session)
        return 3;

    // The script runs on a worker thread; this thread reads what it writes.
    std::thread worker([&session] { MvParserExecute(session.get()); });
    while (!MvParserGetDoneFlag(session.get())) {
        copyConsole(*session);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    worker.join();
    copyConsole(*session);
    copyWarnings();
    writeErrorRecords(*session);
    listWindows(*session);

    const int status = MvParserGetErrorFlag(session.get())      ? 2
                       : MvParserGetRunErrorFlag(session.get()) ? 1
                                                                 : 0;
    session.reset();
    MvDeletePluginRegistry();
    return status;
}
