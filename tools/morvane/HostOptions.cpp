// Parsing of the command line.
#include "HostOptions.h"

#include <cstring>

namespace {

// Matches "--name VALUE" and "--name=VALUE"; advances i past what it used.
// Returns 0 when argv[i] is not the option, 1 when matched, -1 when the
// value is missing.
int takeValue(int argc, char** argv, int& i, const char* name, std::string& value) {
    const std::size_t length = std::strlen(name);
    const char* arg = argv[i];
    if (std::strncmp(arg, name, length) != 0)
        return 0;
    if (arg[length] == '=') {
        value = arg + length + 1;
        return 1;
    }
    if (arg[length] != '\0')
        return 0;
    if (i + 1 >= argc)
        return -1;
    value = argv[++i];
    return 1;
}

bool isHelp(const char* arg) {
    return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0;
}

// Options of run, check and lex, then exactly one script (a file or -e TEXT).
bool parseScriptCommand(int argc, char** argv, int first, HostOptions& options,
                        std::string& error) {
    const bool isRun = options.command == HostCommand::Run;
    bool optionsEnded = false;
    std::vector<std::string> positional;
    for (int i = first; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsEnded && arg[0] == '-' && arg[1] != '\0') {
            if (std::strcmp(arg, "--") == 0) {
                optionsEnded = true;
                continue;
            }
            if (isHelp(arg)) {
                options.command = HostCommand::Help;
                return true;
            }
            if (std::strcmp(arg, "--no-default-plugins") == 0) {
                options.defaultPlugins = false;
                continue;
            }
            std::string value;
            int matched = takeValue(argc, argv, i, "--plugin", value);
            if (matched == 1) {
                options.plugins.push_back(value);
                continue;
            }
            if (matched == 0 && isRun) {
                matched = takeValue(argc, argv, i, "--windows", value);
                if (matched == 1) {
                    if (value.empty()) {
                        error = "--windows needs a folder";
                        return false;
                    }
                    options.windowsDir = value;
                    continue;
                }
            }
            if (matched == 0 && std::strcmp(arg, "-e") == 0) {
                if (i + 1 >= argc) {
                    error = "-e needs the script text";
                    return false;
                }
                if (options.inlineScript) {
                    error = "-e may be given only once";
                    return false;
                }
                options.inlineScript = true;
                options.inlineText = argv[++i];
                continue;
            }
            if (matched == -1) {
                error = std::string(arg) + " needs a value";
                return false;
            }
            error = std::string("unknown option ") + arg;
            return false;
        }
        positional.push_back(arg);
    }
    if (options.inlineScript) {
        if (!positional.empty()) {
            error = "give either a script file or -e TEXT, not both";
            return false;
        }
        return true;
    }
    if (positional.size() != 1) {
        error = positional.empty() ? "no script given" : "only one script may be given";
        return false;
    }
    options.scriptPath = positional.front();
    return true;
}

} // namespace

bool parseHostOptions(int argc, char** argv, HostOptions& options, std::string& error) {
    if (argc < 2) {
        error = "no command given";
        return false;
    }
    const char* command = argv[1];
    if (isHelp(command)) {
        options.command = HostCommand::Help;
        return true;
    }
    if (std::strcmp(command, "--version") == 0) {
        options.command = HostCommand::Version;
        return true;
    }
    if (std::strcmp(command, "functions") == 0) {
        options.command = HostCommand::Functions;
        for (int i = 2; i < argc; ++i) {
            if (isHelp(argv[i])) {
                options.command = HostCommand::Help;
                return true;
            }
            if (std::strcmp(argv[i], "--no-default-plugins") == 0) {
                options.defaultPlugins = false;
                continue;
            }
            if (argv[i][0] == '-') {
                error = std::string("unknown option ") + argv[i];
                return false;
            }
            options.functionArgs.push_back(argv[i]);
        }
        if (options.functionArgs.size() > 2) {
            error = "functions takes at most a namespace and a function name";
            return false;
        }
        return true;
    }
    if (std::strcmp(command, "run") == 0)
        options.command = HostCommand::Run;
    else if (std::strcmp(command, "check") == 0)
        options.command = HostCommand::Check;
    else if (std::strcmp(command, "lex") == 0)
        options.command = HostCommand::Lex;
    else {
        error = std::string("unknown command ") + command;
        return false;
    }
    return parseScriptCommand(argc, argv, 2, options, error);
}

void printHostUsage(std::FILE* out) {
    std::fputs(
        "usage: morvane run [--windows DIR] [PLUG-IN OPTIONS] (SCRIPT | -e TEXT)\n"
        "       morvane check [PLUG-IN OPTIONS] (SCRIPT | -e TEXT)\n"
        "       morvane lex [PLUG-IN OPTIONS] (SCRIPT | -e TEXT)\n"
        "       morvane functions [--no-default-plugins] [NAMESPACE [NAME]]\n"
        "       morvane --help | --version\n"
        "\n"
        "commands:\n"
        "  run        run the script; its console goes to standard output, warnings\n"
        "             and error reports to standard error\n"
        "  check      check the script's syntax without running it\n"
        "  lex        print the colouring spans, one \"begin end kind\" line each\n"
        "  functions  print the signatures of the native functions\n"
        "\n"
        "options:\n"
        "  -e TEXT         take the script from TEXT (its folder is the current one)\n"
        "  --windows DIR   write every script window as DIR/TITLE.svg whenever it\n"
        "                  changes\n"
        "  --plugin PATH   load a native plug-in library before the script is parsed\n"
        "  --no-default-plugins\n"
        "                  do not load the plug-ins that ship with morvane (from the\n"
        "                  plugins folder beside the program, the installed\n"
        "                  lib/morvane/plugins, and each folder of MORVANE_PLUGIN_PATH)\n"
        "\n"
        "exit status: 0 success, 1 run error or interruption, 2 syntax error,\n"
        "3 usage, file or plug-in error. Ctrl-C stops a run; a second one ends\n"
        "the program at once.\n",
        out);
}
