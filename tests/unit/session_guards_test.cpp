// The scoped holders of a session's get/release pairs: each reads the item
// as its get does, keeps the lock while alive (a writer on another thread
// waits) and drops it when its scope ends, also when an exception leaves it.
#include "morvane/MvParserGuards.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

struct SessionDeleter {
    void operator()(MvParser* session) const { MvParserDelete(session); }
};
using Session = std::unique_ptr<MvParser, SessionDeleter>;

Session checked(const std::string& text) {
    Session session(MvParserCreate(text.c_str(), static_cast<long>(text.size()), nullptr));
    MvParserCheckSyntax(session.get());
    return session;
}

// Writes to the console from another thread; true once the write is done.
class ConsoleWriter {
public:
    explicit ConsoleWriter(MvParser& session)
        : thread_([this, &session] {
              MvHeldConsole console(session);
              console.stream() << "from the writer\n";
              done_ = true;
          }) {}
    ~ConsoleWriter() { join(); }
    bool done() const { return done_; }
    void join() {
        if (thread_.joinable())
            thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

TEST(SessionGuards, HoldersReadWhatTheGetsReturn) {
    Session session = checked("print 1;\nset x to ;\nset y to ;\n");
    {
        MvHeldParseErrors errors(*session);
        ASSERT_EQ(errors.count(), 2);
        EXPECT_EQ(errors.records().size(), 2u);
        EXPECT_EQ(errors.at(0)->line, 2);
        EXPECT_EQ(errors.at(1)->line, 3);
        EXPECT_EQ(errors.at(2), nullptr);
        EXPECT_EQ(errors.at(-1), nullptr);
    }
    {
        MvHeldConsole console(*session);
        console.stream().str("");
    }
    {
        MvHeldWindowList windows(*session);
        EXPECT_EQ(windows.count(), 0);
        EXPECT_EQ(windows.at(0), nullptr);
    }
    {
        MvHeldSyntaxBlocks blocks(*session);
        EXPECT_FALSE(blocks.blocks().empty());
    }
    {
        MvHeldRuntimeErrors runtimeErrors(*session);
        EXPECT_TRUE(runtimeErrors.stream().str().empty());
    }
    {
        MvHeldWarningConsole warnings;
        warnings.stream() << "";
    }
    // Every lock was dropped: the flat gets of another thread go through.
    std::thread reader([&session] {
        EXPECT_EQ(MvParserGetParseErrorCount(session.get()), 2);
        MvParserReleaseParseErrors(session.get());
        MvParserGetWindowList(session.get());
        MvParserReleaseWindowList(session.get());
        MvParserGetSyntaxBlockList(session.get());
        MvParserReleaseSyntaxBlockList(session.get());
    });
    reader.join();
}

TEST(SessionGuards, AWriterWaitsWhileTheHolderLives) {
    Session session = checked("print 1;\n");
    std::unique_ptr<ConsoleWriter> writer;
    {
        MvHeldConsole console(*session);
        console.stream().str("");
        writer = std::make_unique<ConsoleWriter>(*session);
        std::this_thread::yield();
        EXPECT_FALSE(writer->done());   // it cannot write while the console is held
        EXPECT_TRUE(console.stream().str().empty());
    }
    writer->join();
    EXPECT_TRUE(writer->done());
    MvHeldConsole console(*session);
    EXPECT_EQ(console.stream().str(), "from the writer\n");
}

TEST(SessionGuards, AnExceptionLeavingTheScopeReleasesTheLock) {
    Session session = checked("print 1;\n");
    try {
        MvHeldConsole console(*session);
        console.stream().str("");
        throw std::runtime_error("leaves the scope");
    } catch (const std::runtime_error&) {
    }
    ConsoleWriter writer(*session);
    writer.join();
    EXPECT_TRUE(writer.done());
}

} // namespace
