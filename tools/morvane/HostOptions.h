// The command line of the morvane host: commands, options and exit statuses.
#ifndef MORVANE_TOOLS_HOSTOPTIONS_H
#define MORVANE_TOOLS_HOSTOPTIONS_H

#include <cstdio>
#include <string>
#include <vector>

// Exit statuses shared by every command.
enum HostExit {
    kExitOk = 0,            // no syntax error and no run error
    kExitRunError = 1,      // the run stopped with an error (or was interrupted)
    kExitSyntaxError = 2,   // the script has syntax errors and did not run
    kExitUsage = 3          // bad command line, unreadable file, plug-in failure
};

enum class HostCommand { Run, Check, Lex, Functions, Help, Version };

struct HostOptions {
    HostCommand command = HostCommand::Help;
    // The script: a file, or the text given with -e (then path is empty).
    std::string scriptPath;
    bool inlineScript = false;
    std::string inlineText;
    // run only: where window pictures are written (empty: not written).
    std::string windowsDir;
    // Plug-in libraries to load before the script is parsed.
    std::vector<std::string> plugins;
    // Whether the plug-ins that ship with morvane are loaded too.
    bool defaultPlugins = true;
    // functions: an optional namespace and function name.
    std::vector<std::string> functionArgs;
};

// Fills options from the arguments; on a usage error returns false and sets
// error to a one-line explanation.
bool parseHostOptions(int argc, char** argv, HostOptions& options, std::string& error);

void printHostUsage(std::FILE* out);

#endif
