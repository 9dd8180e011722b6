// Scoped holders for the get/release pairs of a session: each takes the
// item's lock when made and drops it when it goes, on every path out of the
// scope (an early return, an exception). While one is alive the running
// script blocks when it wants to write to that item, so keep them short.
//
//     {
//         MvHeldConsole console(*session);
//         std::cout << console.stream().str();
//         console.stream().str("");
//     }
#ifndef MORVANE_MVPARSERGUARDS_H
#define MORVANE_MVPARSERGUARDS_H

#include "MvParser.h"

#include <cstddef>
#include <deque>
#include <list>

// The base of the holders: not copied, not moved, so that exactly one
// release matches each get.
class MvHeldItem {
public:
    MvHeldItem(const MvHeldItem&) = delete;
    MvHeldItem& operator=(const MvHeldItem&) = delete;

protected:
    MvHeldItem() = default;
    ~MvHeldItem() = default;
};

// The session's console.
class MvHeldConsole : MvHeldItem {
public:
    explicit MvHeldConsole(MvParser& session)
        : session_(session), stream_(session.getConsole()) {}
    ~MvHeldConsole() { session_.releaseConsole(); }
    Mv_stringstream& stream() { return stream_; }

private:
    MvParser& session_;
    Mv_stringstream& stream_;
};

// The session's runtime-error stream.
class MvHeldRuntimeErrors : MvHeldItem {
public:
    explicit MvHeldRuntimeErrors(MvParser& session)
        : session_(session), stream_(session.getRuntimeErrors()) {}
    ~MvHeldRuntimeErrors() { session_.releaseRuntimeErrors(); }
    Mv_stringstream& stream() { return stream_; }

private:
    MvParser& session_;
    Mv_stringstream& stream_;
};

// The process-wide warning console.
class MvHeldWarningConsole : MvHeldItem {
public:
    MvHeldWarningConsole() : stream_(MvParser::getWarningConsole()) {}
    ~MvHeldWarningConsole() { MvParser::releaseWarningConsole(); }
    Mv_stringstream& stream() { return stream_; }

private:
    Mv_stringstream& stream_;
};

// The session's error records, oldest first.
class MvHeldParseErrors : MvHeldItem {
public:
    explicit MvHeldParseErrors(MvParser& session)
        : session_(session), records_(session.getParseErrors()) {}
    ~MvHeldParseErrors() { session_.releaseParseErrors(); }
    int count() const { return static_cast<int>(records_.size()); }
    // The record at index (0 = oldest), or null when index is not below count.
    ParseError* at(int index) { return session_.getParseError(index); }
    const std::list<ParseError*>& records() const { return records_; }

private:
    MvParser& session_;
    std::list<ParseError*>& records_;
};

// The session's window list, in registration order.
class MvHeldWindowList : MvHeldItem {
public:
    explicit MvHeldWindowList(MvParser& session)
        : session_(session), windows_(session.getWindowList()) {}
    ~MvHeldWindowList() { session_.releaseWindowList(); }
    long count() const { return static_cast<long>(windows_.size()); }
    // The window at index, or null when index is not below count.
    MvWindow* at(long index) { return session_.getWindow(index); }
    const std::list<MvWindow*>& windows() const { return windows_; }

private:
    MvParser& session_;
    std::list<MvWindow*>& windows_;
};

// The session's colouring spans, in the order the scanner produced them.
class MvHeldSyntaxBlocks : MvHeldItem {
public:
    explicit MvHeldSyntaxBlocks(MvParser& session)
        : session_(session), blocks_(session.getSyntaxBlockList()) {}
    ~MvHeldSyntaxBlocks() { session_.releaseSyntaxBlockList(); }
    std::deque<MvSyntaxBlock>& blocks() { return blocks_; }

private:
    MvParser& session_;
    std::deque<MvSyntaxBlock>& blocks_;
};

#endif
