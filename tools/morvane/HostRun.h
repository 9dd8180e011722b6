// The session commands of the host: run, check and lex.
#ifndef MORVANE_TOOLS_HOSTRUN_H
#define MORVANE_TOOLS_HOSTRUN_H

#include "HostOptions.h"

// Each returns the process's exit status.
int runCommand(const HostOptions& options);
int checkCommand(const HostOptions& options);
int lexCommand(const HostOptions& options);

#endif
