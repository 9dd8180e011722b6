// The guards of the library's flat entry points.
//
// Hosts and plug-ins may be written in C: no C++ exception may cross the
// flat functions they call. Each entry point runs its body inside one of two
// guards, chosen by how that function reports failure:
//
// MV_GUARDED_ENTRY(fallback, body) and MV_GUARDED_VOID_ENTRY(body), for the
// functions a host calls (sessions, the registry, values, services): what
// the body raises is written to the warning console under the entry point's
// name, and the function returns fallback (a null pointer, 0, false) or
// nothing.
//
// MV_RAISING_ENTRY(body), for the functions a native function or a plug-in's
// entry point calls while the engine runs it (reading arguments, declaring
// and committing signatures): their documented failure is a script error, a
// thrown MvException* that the engine catches around the call. Any other
// exception (out of memory, a failure of the standard library) becomes such
// an error, so that nothing else unwinds through the plug-in.
#ifndef MORVANE_ENGINE_MVENTRYGUARD_H
#define MORVANE_ENGINE_MVENTRYGUARD_H

#include "morvane/MvException.h"

#include <exception>
#include <new>
#include <string>
#include <utility>

// Writes "entry: reason" and a line end to the warning console; never throws.
void MvReportEntryFailure(const char* entry, const char* reason) noexcept;

// Runs body; returns its result, or fallback (converted to the result's
// type) after reporting what it raised.
template <typename Fallback, typename Body>
auto MvGuardedEntry(const char* entry, Fallback fallback, Body&& body) noexcept
    -> decltype(body()) {
    try {
        return std::forward<Body>(body)();
    } catch (MvException* error) {
        std::string message;
        try {
            message = error->getMessage();
        } catch (...) {
        }
        delete error;
        MvReportEntryFailure(entry, message.c_str());
    } catch (const std::bad_alloc&) {
        MvReportEntryFailure(entry, "Out of Memory");
    } catch (const std::exception& failure) {
        MvReportEntryFailure(entry, failure.what());
    } catch (...) {
        MvReportEntryFailure(entry, "an unknown exception");
    }
    return fallback;
}

template <typename Body>
void MvGuardedVoidEntry(const char* entry, Body&& body) noexcept {
    MvGuardedEntry(entry, 0, [&body] {
        std::forward<Body>(body)();
        return 0;
    });
}

// Runs body; lets an MvException* through and turns anything else into one.
template <typename Body>
auto MvRaisingEntry(const char* entry, Body&& body) -> decltype(body()) {
    try {
        return std::forward<Body>(body)();
    } catch (MvException*) {
        throw;
    } catch (const std::bad_alloc&) {
        throw new MvMemoryException((std::string(" (") + entry).c_str());
    } catch (const std::exception& failure) {
        throw new MvException(std::string(entry) + ": " + failure.what());
    }
}

#define MV_GUARDED_ENTRY(fallback, ...) return MvGuardedEntry(__func__, fallback, [&] { __VA_ARGS__ })
#define MV_GUARDED_VOID_ENTRY(...) MvGuardedVoidEntry(__func__, [&] { __VA_ARGS__ })
#define MV_RAISING_ENTRY(...) return MvRaisingEntry(__func__, [&] { __VA_ARGS__ })

#endif
