// An allocation that fails anywhere below a statement (here in a native
// function) is reported as "Out of Memory (...)" at that statement; the
// std::bad_alloc never leaves the run.
#include "calls_support.h"

#include <new>

namespace {

MvValue* failsToAllocate(MvPluginErrorBlock*, MvParameterBlock*) { throw std::bad_alloc(); }

void ensureFailingFunction() {
    if (MvPluginRegistry::THE_PluginRegistry()->hasNameSpace("Starved"))
        return;
    MvPluginSignature* s = MvPluginSignatureCreate(0, MvTypeNumber, &failsToAllocate);
    MvPluginSignatureCommit(s, "Starved", "Allocate", "Always runs out of memory.");
}

TEST(OutOfMemory, AFailedAllocationIsAnErrorRecordAtItsStatement) {
    ensureFailingFunction();
    RunResult r = runScript("print 1;\n"
                            "set x to Starved.Allocate();\n"
                            "print 2;\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].line, 2);
    EXPECT_EQ(r.records[0].message, "Out of Memory (an allocation could not be met)");
    EXPECT_TRUE(r.runError);
    EXPECT_EQ(r.console, "1\nRunTime Error");
}

TEST(OutOfMemory, AFailedAllocationCanBeCaught) {
    ensureFailingFunction();
    RunResult r = runScript("set x to Starved.Allocate(); catch print \"caught\";\n"
                            "print \"after\";\n");
    EXPECT_TRUE(r.records.empty());
    EXPECT_FALSE(r.runError);
    EXPECT_EQ(r.console, "caught\nafter\n");
}

} // namespace
