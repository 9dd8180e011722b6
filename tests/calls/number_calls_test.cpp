// Calls whose arguments are all numbers: met again at a call site, they
// are bound straight to the function chosen the first time. What they print
// and raise must not depend on that: each script below runs once with plain
// numbers as arguments and once with the same numbers read from a vector
// (element reads, which always take the general way).
#include "calls_support.h"

#include <string>
#include <vector>

namespace {

class NumberCalls : public ::testing::Test {
protected:
    void SetUp() override { ensureBuiltins(); }
};

// Writes out the template with A and B standing for the two arguments of
// each call: i and i * 2, or elements of v = {i, i * 2}.
std::string withArguments(const std::string& pattern, bool fromVector) {
    std::string text;
    for (char c : pattern) {
        if (c == 'A')
            text += fromVector ? "v[0]" : "i";
        else if (c == 'B')
            text += fromVector ? "v[1]" : "(i * 2)";
        else
            text += c;
    }
    return text;
}

// The definitions, then a loop of five calls made by the statement.
RunResult runCalls(const std::string& definitions, const std::string& statement,
                   bool fromVector) {
    return runScript(definitions + "set i to 1;\n"
                                   "repeat 5 times increment i begin\n"
                                   "  set v to {i, i * 2};\n  " +
                     withArguments(statement, fromVector) + "\nend\nprint \"end\";\n");
}

struct Case {
    const char* definitions;
    const char* statement;
};

TEST_F(NumberCalls, DirectAndGeneralCallsAgree) {
    const std::vector<Case> cases = {
        // Positional, named, and defaults of both kinds.
        {"define f(a, b) begin return a * 10 + b; end\n", "print f(A, B);"},
        {"define f(a, b) begin return a * 10 + b; end\n", "print f(b -> A, a -> B);"},
        {"define f(a, b) begin return a * 10 + b; end\n", "print f(b -> A, B);"},
        {"define f(a, b -> 7) begin return a * 10 + b; end\n", "print f(A) + f(A, B);"},
        {"define f(a, b -> a + 1) begin return a * 10 + b; end\n", "print f(A) - f(B);"},
        // Overloads by type, by count, and a native function of the same name.
        {"define S.k(number n) begin return \"n\" + n; end\n"
         "define S.k(text t) begin return \"t\" + t; end\n", "print S.k(A);"},
        {"define g(a) begin return a; end\ndefine g(a, b) begin return a - b; end\n",
         "print g(A) + g(A, B);"},
        {"define Math.Maximum(x, y) begin return 0; end\n", "print Math.Maximum(x -> A, y -> B);"},
        // Parameters changed inside the function, results used in place.
        {"define h(a) begin add a to a; multiply a by 3; return a; end\n",
         "set r to h(A) + h(B); print r;"},
        {"define h(a) begin set a to \"text\"; return a; end\n", "print h(A); print h(B);"},
        {"define h(a, b) begin return {a, b}; end\n", "set w to h(A, B); print w;"},
        // Results checked against the declared type, and no result.
        {"define n(a) returns number begin if a > 3 then return \"big\"; return a; end\n",
         "print n(A);"},
        {"define n(a) returns text begin if a > 2 then return a; return \"small\"; end\n",
         "set x to n(B); print x;"},
        {"define q(a) begin if a < 3 then return a; end\n", "print q(A);"},
        {"define q(a) begin if a < 3 then return a; end\n", "q(B);"},
        // Errors inside the function and in the arguments.
        {"define d(a, b) begin return a / (b - 6); end\n", "print d(A, B);"},
        {"define d(a, b) begin return a; end\n", "print d(A, B / (A - 4));"},
        // No overload fits: too many arguments, or an unknown name.
        {"define f(a) begin return a; end\n", "print f(A, B);"},
        {"define f(a) begin return a; end\n", "print f(z -> A);"},
        // Recursion at the call site.
        {"define fact(n) begin if n < 2 then return 1; return n * fact(n - 1); end\n",
         "print fact(A) + fact(B);"},
        // Native functions: positional and named, defaults, a call that
        // returns nothing, and no overload fitting.
        {"", "print Math.Maximum(x -> A, y -> B) - Math.Minimum(y -> A, x -> B);"},
        {"", "print Math.Maximum(A, B) + Math.Maximum(B, A);"},
        {"Math.RandomSeed(seed -> 7);\n", "print Math.Random(max -> B) < B; print Math.Random(A, B);"},
        {"", "Math.RandomSeed(seed -> A); print Math.Random();"},
        {"", "print Math.Maximum(x -> A, z -> B);"},
        {"", "print Math.Maximum(A, B, A);"},
        // A script function and a native one at the same site.
        {"define Math.Maximum(x, y, z) begin return x + y + z; end\n",
         "print Math.Maximum(A, B) + Math.Maximum(A, B, A);"},
    };
    for (const Case& c : cases) {
        RunResult direct = runCalls(c.definitions, c.statement, false);
        RunResult general = runCalls(c.definitions, c.statement, true);
        EXPECT_EQ(direct.console, general.console) << c.definitions << c.statement;
        EXPECT_EQ(messages(direct), messages(general)) << c.definitions << c.statement;
        ASSERT_EQ(direct.records.size(), general.records.size()) << c.statement;
        for (std::size_t r = 0; r < direct.records.size(); ++r)
            EXPECT_EQ(direct.records[r].line, general.records[r].line) << c.statement;
    }
}

// An argument that stops being a number sends the call the general way,
// which may choose another overload; numbers again go back to the first.
TEST_F(NumberCalls, AnArgumentThatStopsBeingANumberChoosesAgain) {
    RunResult r = runScript("define S.k(number n) begin return \"n\" + n; end\n"
                            "define S.k(text t) begin return \"t\" + t; end\n"
                            "set i to 1;\n"
                            "repeat 6 times increment n begin\n"
                            "  print S.k(i);\n"
                            "  if n = 1 then set i to \"x\"; else if n = 2 then set i to 3; "
                            "else set i to i + 1;\n"
                            "end\n");
    EXPECT_TRUE(r.records.empty()) << messages(r).front();
    EXPECT_EQ(r.console, "n1\nn2\ntx\nn3\nn4\nn5\n");
}

// A variable passed by reference is never taken for a number, and a site
// that once passed numbers still fits a by-reference overload for one.
TEST_F(NumberCalls, AVariableByReferenceIsNeverANumber) {
    RunResult r = runScript("define b(&a) begin add 1 to a; return a; end\n"
                            "define b(a) begin return a * 100; end\n"
                            "set i to 1;\n"
                            "repeat 3 times begin\n"
                            "  print b(i);\n"
                            "  print b(&i);\n"
                            "end\n"
                            "print i;\n");
    EXPECT_TRUE(r.records.empty()) << messages(r).front();
    EXPECT_EQ(r.console, "100\n2\n200\n3\n300\n4\n4\n");
}

} // namespace
