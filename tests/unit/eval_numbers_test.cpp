// Expressions of numbers: what they print and raise must not depend on
// whether every operand is a plain number (computed directly) or one of them
// comes from an element read (computed through values).
#include "script_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes out a template whose A and B stand for two operands.
std::string withOperands(const std::string& pattern, const std::string& a,
                         const std::string& b) {
    std::string text;
    for (char c : pattern)
        text += c == 'A' ? a : c == 'B' ? b : std::string(1, c);
    return text;
}

// The same statements over variables a and b, and over elements of a
// vector standing for them.
RunResult overVariables(const std::string& pattern) {
    return runScript("set a to 7;\nset b to -2.5;\n" + withOperands(pattern, "a", "b"));
}

RunResult overElements(const std::string& pattern) {
    return runScript("set v to {7, -2.5};\n" + withOperands(pattern, "(v[0])", "(v[1])"));
}

TEST(NumberExpressions, DirectAndGeneralResultsAgree) {
    const std::vector<std::string> expressions = {
        "A + B",          "A - B * 3",        "A / B",          "-A + -B",
        "(A + 1) * (B - 1) / 4", "sqrt(A)",   "sin(A) + cos(B)", "tan(B) - atan(A)",
        "abs(B)",         "round(B)",         "round(A / 2)",   "floor(B) + ceil(B)",
        "exp(B) + ln(A) + log(A)", "pow(A, B)", "pow(B, 2)",    "asin(B / 10) + acos(1 / A)",
        "sqrt(B)",        "ln(B)",            "A * 1e300 * 1e300",
    };
    for (const std::string& e : expressions) {
        RunResult direct = overVariables("print " + e + ";\n");
        RunResult general = overElements("print " + e + ";\n");
        EXPECT_TRUE(direct.records.empty()) << e;
        EXPECT_TRUE(general.records.empty()) << e;
        EXPECT_EQ(direct.console, general.console) << e;
    }
}

TEST(NumberExpressions, ComparisonsAgree) {
    const std::vector<std::string> conditions = {"A < B", "A > B", "A <= 7", "A >= 7.5",
                                                 "A = 7", "B != -2.5", "sqrt(B) = 1",
                                                 "sqrt(B) != sqrt(B)", "sqrt(B) = 3"};
    for (const std::string& c : conditions) {
        const std::string body = "if " + c + " then print \"yes\"; else print \"no\";\n";
        RunResult direct = overVariables(body);
        RunResult general = overElements(body);
        EXPECT_TRUE(direct.records.empty()) << c;
        EXPECT_EQ(direct.console, general.console) << c;
    }
}

TEST(NumberExpressions, DivisionByZeroIsReportedAtItsStatement) {
    RunResult r = runScript("set a to 1;\nset z to 0;\nset a to a / z;\nprint a;\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, "Attempt to divide by zero");
    EXPECT_EQ(r.records[0].line, 3);
    EXPECT_EQ(r.console, "RunTime Error");
}

TEST(NumberExpressions, DeletedVariableIsNamed) {
    RunResult r = runScript("set a to 1;\nset c to 2;\ndelete c;\nset a to a + c * 2;\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, "Invalid identifier (c)");
    EXPECT_EQ(r.records[0].line, 4);
}

TEST(NumberExpressions, OperandsThatAreNotNumbersTakeTheGeneralWay) {
    RunResult r = runScript("set a to \"n\";\nset b to 2;\nset a to a + b;\nprint a;\n"
                            "set c to {1, 2};\nset c to c * b;\nprint c;\n"
                            "set t to true;\nrepeat while t = true begin\n"
                            "  set t to false;\nend\nprint t;\n");
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.console, "n2\n2\t4\nfalse\n");
}

TEST(NumberExpressions, NumberBecomesTextAndBack) {
    RunResult r = runScript("set x to 1;\nset x to x + 1;\nset x to \"t\";\n"
                            "set x to 3;\nset x to x * x;\nprint x;\n");
    EXPECT_EQ(r.console, "9\n");
}

TEST(NumberExpressions, ReferencesSeeTheNewNumber) {
    RunResult r = runScript("set x to 1;\nset y to reference x;\nset x to x + 1;\nprint y;\n"
                            "set z to y + 10;\nset y to 0;\nset x to x * 3;\n"
                            "print x;\nprint y;\nprint z;\n");
    // Assigning to the read-only reference y breaks it.
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.console, "2\n6\n0\n12\n");
}

TEST(NumberExpressions, ByReferenceParameterWritesTheCallersVariable) {
    RunResult r = runScript("define bump(&n) begin\n  set n to n + 1;\nend\n"
                            "set k to 41;\nbump(&k);\nprint k;\n");
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.console, "42\n");
}

TEST(NumberExpressions, ValueNamedElsewhereIsNotChanged) {
    // The list element and the variable begin as one shared number.
    RunResult r = runScript("set x to 5;\nset l to {\"a\", x};\nset x to x + 1;\n"
                            "print l;\nprint x;\n");
    EXPECT_EQ(r.console, "a\n5\n6\n");
}

TEST(NumberExpressions, WhileLoopCountsExactly) {
    RunResult r = runScript("set x to 0;\nset n to 0;\nrepeat while x < 1000 begin\n"
                            "  set x to x + 0.5;\n  add 1 to n;\nend\nprint x;\nprint n;\n");
    EXPECT_EQ(r.console, "1000\n2000\n");
}

TEST(NumberExpressions, WhileConditionOfTheWrongKindIsAnError) {
    RunResult r = runScript("set x to 1;\nrepeat while x begin\n  print x;\nend\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, "Type mismatch error, expecting (boolean)");
    EXPECT_EQ(r.console, "RunTime Error");
}

} // namespace
