// A script that recurses without end stops with an error record, whatever
// the stack of the thread it runs on: the main thread's, a host thread's
// with a small stack, a default one's.
#include "script_runner.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <string>
#include <thread>

namespace {

const char* const kTooDeep = "The script is nested too deeply to run.";

// Recursion through a returned value: nothing reports the error until it
// has left every frame, at the print.
const std::string kReturnRecursion = "define f(n) begin\n"
                                     "  return f(n + 1);\n"
                                     "end\n"
                                     "print f(0);\n";

// Recursion through statements.
const std::string kStatementRecursion = "define g(n) begin\n"
                                        "  set v to {n, n};\n"
                                        "  g(n + 1);\n"
                                        "end\n"
                                        "g(0);\n";

// The same passing a variable on by reference: every call's variable refers
// to its caller's, a chain as long as the recursion is deep. (Each append
// walks the chain, so this one runs on small stacks only.)
const std::string kReferenceRecursion = "define g(n, &l) begin\n"
                                        "  append n to l;\n"
                                        "  g(n + 1, &l);\n"
                                        "end\n"
                                        "set l to list;\n"
                                        "g(0, &l);\n";

// Recursion that goes through a default evaluated by the callee.
const std::string kDefaultRecursion = "define h(n, m -> h(n + 1)) begin\n"
                                      "  return m;\n"
                                      "end\n"
                                      "print h(0);\n";

const std::string kShallowRecursion = "define d(n) begin\n"
                                      "  if n = 0 then return 0;\n"
                                      "  return d(n - 1) + 1;\n"
                                      "end\n"
                                      "print d(40);\n";

struct Job {
    std::string script;
    RunResult result;
};

void* runJob(void* job) {
    static_cast<Job*>(job)->result = runScript(static_cast<Job*>(job)->script);
    return nullptr;
}

// The sanitizers' frames are several times larger; the thread sanitizer
// also keeps its large per-thread state in the thread's static storage, which
// the C library carves from the top of the thread's stack.
#if defined(__SANITIZE_THREAD__)
constexpr std::size_t kSanitizerStack = 8 * 1024 * 1024;
#elif defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kSanitizerStack = 768 * 1024;
#else
constexpr std::size_t kSanitizerStack = 0;
#endif

// Runs the script on a thread of the host's with a stack of that size (and
// the sanitizers' extra).
RunResult runOnThreadWithStack(const std::string& script, std::size_t stackBytes) {
    stackBytes += kSanitizerStack;
    Job job{script, {}};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    EXPECT_EQ(pthread_attr_setstacksize(&attributes, stackBytes), 0);
    pthread_t thread;
    const int made = pthread_create(&thread, &attributes, runJob, &job);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(made, 0);
    if (made == 0)
        pthread_join(thread, nullptr);
    return job.result;
}

// records: how many the session holds by now (it keeps those of earlier runs).
void expectTooDeep(const RunResult& r, const std::string& what, std::size_t records = 1) {
    ASSERT_EQ(r.records.size(), records) << what;
    EXPECT_EQ(r.records.back().message, kTooDeep) << what;
    EXPECT_TRUE(r.runError) << what;
    EXPECT_TRUE(r.done) << what;
    EXPECT_EQ(r.console, "RunTime Error") << what;
}

TEST(ScriptNesting, EndlessRecursionOnTheMainThread) {
    expectTooDeep(runScript(kReturnRecursion), "return");
    expectTooDeep(runScript(kStatementRecursion), "statement");
    expectTooDeep(runScript(kDefaultRecursion), "default");
}

TEST(ScriptNesting, EndlessRecursionOnASmallHostThread) {
    for (std::size_t stack : {256u * 1024u, 512u * 1024u}) {
        const std::string size = std::to_string(stack / 1024) + " KB ";
        expectTooDeep(runOnThreadWithStack(kReturnRecursion, stack), size + "return");
        expectTooDeep(runOnThreadWithStack(kStatementRecursion, stack), size + "statement");
        expectTooDeep(runOnThreadWithStack(kDefaultRecursion, stack), size + "default");
        expectTooDeep(runOnThreadWithStack(kReferenceRecursion, stack), size + "reference");
    }
}

TEST(ScriptNesting, EndlessRecursionOnADefaultThread) {
    RunResult r;
    std::thread worker([&r] { r = runScript(kStatementRecursion); });
    worker.join();
    expectTooDeep(r, "std::thread");
}

// The limit is the stack's, not a count: a modest recursion runs on the
// small thread, and the session runs again after a run that went too deep.
TEST(ScriptNesting, ShallowRecursionRunsOnASmallHostThread) {
    RunResult r = runOnThreadWithStack(kShallowRecursion, 256 * 1024);
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.console, "40\n");
}

TEST(ScriptNesting, SessionRunsAgainAfterGoingTooDeep) {
    SessionPtr deep = newSession(kReturnRecursion);
    MvParserExecute(deep.get());
    expectTooDeep(collect(deep.get()), "first run");
    MvParserExecute(deep.get());
    expectTooDeep(collect(deep.get()), "second run", 2);
    RunResult after = runScript(kShallowRecursion);
    EXPECT_TRUE(after.records.empty());
    EXPECT_EQ(after.console, "40\n");
}

} // namespace
