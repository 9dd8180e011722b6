// The memory limit: sizes a script asks for are checked before anything is
// allocated, and a request beyond the limit is the runtime error
// "Out of Memory (...)", reported like any other and catchable. Each test
// sets a small limit, so nothing large is ever allocated.
#include "script_runner.h"
#include "thrown_message.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Sets the limit for one test and restores the default afterwards.
class MemoryLimit : public ::testing::Test {
protected:
    void TearDown() override { MvSetMemoryLimit(0); }
};

const std::string kOneMegabyte = "; the limit is 1048576 bytes)";

TEST_F(MemoryLimit, DefaultsToThePhysicalMemoryAndCanBeSetAndRestored) {
    const std::uint64_t physical = MvGetMemoryLimit();
    EXPECT_GT(physical, std::uint64_t(64) << 20);
    MvSetMemoryLimit(12345);
    EXPECT_EQ(MvGetMemoryLimit(), 12345u);
    MvSetMemoryLimit(1);
    EXPECT_EQ(MvGetMemoryLimit(), 1u);
    MvSetMemoryLimit(0);
    EXPECT_EQ(MvGetMemoryLimit(), physical);
}

TEST_F(MemoryLimit, SettingAFarVectorElementIsAnErrorRecord) {
    MvSetMemoryLimit(1 << 20);
    RunResult r = runScript("set v to {1, 2};\n"
                            "set v[268435455] to 5;\n"
                            "print \"not reached\";\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].line, 2);
    EXPECT_EQ(r.records[0].message,
              "Out of Memory (vector would need 2147483648 bytes" + kOneMegabyte);
    EXPECT_TRUE(r.runError);
    EXPECT_EQ(r.console, "RunTime Error");
}

TEST_F(MemoryLimit, DoublingATextIsStoppedAtTheLimit) {
    MvSetMemoryLimit(1 << 20);
    RunResult r = runScript("set t to \"ab\";\n"
                            "set n to 0;\n"
                            "repeat 40 times begin\n"
                            "  set t to t + t;\n"
                            "  add 1 to n;\n"
                            "end\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].line, 4);
    // 2 characters doubled 19 times are 1 MiB; the 20th doubling is refused.
    EXPECT_EQ(r.records[0].message,
              "Out of Memory (text would need 2097152 bytes" + kOneMegabyte);

    r = runScript("set t to \"ab\";\n"
                  "repeat 40 times begin add t to t; end\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message,
              "Out of Memory (text would need 2097152 bytes" + kOneMegabyte);
}

TEST_F(MemoryLimit, TheErrorCanBeCaughtAndTheRunGoesOn) {
    MvSetMemoryLimit(1 << 20);
    RunResult r = runScript("set v to {1};\n"
                            "set v[268435455] to 5; catch print \"caught\";\n"
                            "print length of v;\n"
                            "set t to \" \";\n"
                            "set t[5000000] to \"x\"; catch print \"caught again\";\n"
                            "print length of t;\n");
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.console, "caught\n1\ncaught again\n1\n");
}

// The limit is inclusive: a request of exactly the limit is met.
TEST_F(MemoryLimit, ARequestOfExactlyTheLimitIsMet) {
    MvSetMemoryLimit(800);
    MvValueHolder v(MvVectorCreate());
    MvValueHolder one(MvNumberCreate(1));
    MvValueHolder at99(MvNumberCreate(99));
    v->SetElement(at99.get(), one.get());   // 100 numbers, 800 bytes
    EXPECT_EQ(MvVectorSize(MvValueAsVector(v.get())), 100);
    MvValueHolder at100(MvNumberCreate(100));
    EXPECT_EQ(messageOf([&] { v->SetElement(at100.get(), one.get()); }),
              "Out of Memory (vector would need 808 bytes; the limit is 800 bytes)");
    EXPECT_EQ(MvVectorSize(MvValueAsVector(v.get())), 100);
    // Appending a vector to itself doubles it: beyond the limit.
    EXPECT_EQ(messageOf([&] { v->Append(v); }),
              "Out of Memory (vector would need 1600 bytes; the limit is 800 bytes)");
}

TEST_F(MemoryLimit, TextGrowthOfEveryKindIsChecked) {
    MvSetMemoryLimit(1000);
    MvValueHolder t(MvTextCreate(std::string(600, 'a').c_str()));
    MvValueHolder sum;
    const std::string refused = "Out of Memory (text would need 1200 bytes; the limit is 1000 bytes)";
    EXPECT_EQ(messageOf([&] { AddValues(sum, t, t, false); }), refused);
    EXPECT_EQ(messageOf([&] { t->Append(t); }), refused);
    EXPECT_EQ(messageOf([&] { t->Prepend(t); }), refused);
    MvValueHolder far(MvNumberCreate(1001));
    EXPECT_EQ(messageOf([&] { t->SetElement(far.get(), t.get()); }),
              "Out of Memory (text would need 1601 bytes; the limit is 1000 bytes)");
    EXPECT_EQ(messageOf([&] { t->Insert(t, far.get()); }),
              "Out of Memory (text would need 1601 bytes; the limit is 1000 bytes)");
    EXPECT_EQ(MvValueHolder(t->GetProperty(7))->GetNumber(), 600);
    // A list's text form grows element by element.
    MvValueHolder list(MvListCreate());
    list->Append(t);
    list->Append(t);
    EXPECT_EQ(messageOf([&] { list->GetText(); }),
              "Out of Memory (text would need 1201 bytes; the limit is 1000 bytes)");
}

TEST_F(MemoryLimit, TextsLongerThanTheLimitAreNotRead) {
    MvSetMemoryLimit(1000);
    std::string body = std::string("\x08\x00\x00\x00", 4) + std::string(5000, 'z');
    std::istringstream in(body);
    EXPECT_NE(messageOf([&] { delete ReadValue(in); }).find("Out of Memory (text would need"),
              std::string::npos);

    // A file without the value-file marker loads as text, within the limit.
    std::filesystem::path file =
        std::filesystem::temp_directory_path() / "mv_memory_limit_test.txt";
    std::ofstream(file) << std::string(5000, 'z');
    std::string message = messageOf([&] { delete LoadValueFromFile(file.string().c_str()); });
    std::filesystem::remove(file);
    EXPECT_NE(message.find("Out of Memory (text would need"), std::string::npos) << message;
}

} // namespace
