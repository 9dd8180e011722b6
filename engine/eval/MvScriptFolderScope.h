// Makes the script's folder the current directory for the life of a scope
// (file reads and writes, function calls), restoring the previous one after.
#ifndef MORVANE_ENGINE_MVSCRIPTFOLDERSCOPE_H
#define MORVANE_ENGINE_MVSCRIPTFOLDERSCOPE_H

#include "frontend/MvSession.h"

class MvScriptFolderScope {
public:
    explicit MvScriptFolderScope(MvParser* session) : session_(session) {
        MvSession::of(session_)->enterScriptFolder();
    }
    ~MvScriptFolderScope() { MvSession::of(session_)->leaveScriptFolder(); }
    MvScriptFolderScope(const MvScriptFolderScope&) = delete;
    MvScriptFolderScope& operator=(const MvScriptFolderScope&) = delete;

private:
    MvParser* session_;
};

#endif
