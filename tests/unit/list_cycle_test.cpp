// Lists never contain themselves: every way of storing a value into a list
// (Append, Prepend, Insert, SetElement, MvListAppend, a list literal) stores
// a copy when the value would reach the list, directly or through the lists
// it holds. Values that close no cycle are still shared, not copied.
#include "script_runner.h"
#include "thrown_message.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

namespace {

MvValueHolder number(double v) { return MvValueHolder(MvNumberCreate(v)); }
MvValueHolder text(const char* s) { return MvValueHolder(MvTextCreate(s)); }

// A list of the given texts.
MvValueHolder listOf(std::initializer_list<const char*> words) {
    MvValue* list = MvListCreate();
    for (const char* w : words)
        MvListAppend(MvValueAsList(list), MvTextCreate(w));
    return MvValueHolder(list);
}

MvValueHolder at(MvValueHolder& list, double i) { return list->GetElement(number(i).get(), false); }

double lengthOf(MvValueHolder& list) { return MvValueHolder(list->GetProperty(7))->GetNumber(); }

std::string joined(const std::string& a, const std::string& b) { return a + "\n" + b; }

// ------------------------------------------------------------ directly

TEST(ListCycles, AppendingAListToItselfAppendsItsFormerSelf) {
    MvValueHolder l = listOf({"a", "b"});
    l->Append(l);
    EXPECT_EQ(lengthOf(l), 3);
    EXPECT_EQ(l->GetText(), "a\nb\na\nb");
    MvValueHolder copy = at(l, 2);
    EXPECT_NE(copy.get(), l.get());
    EXPECT_EQ(copy->GetText(), "a\nb");
    // Appending again copies the list as it is now.
    l->Append(l);
    EXPECT_EQ(at(l, 3)->GetText(), "a\nb\na\nb");
}

TEST(ListCycles, EveryStoringOperationCopiesTheListItself) {
    MvValueHolder l = listOf({"x"});
    l->Prepend(l);
    EXPECT_EQ(l->GetText(), "x\nx");
    l->Insert(l, number(1).get());
    EXPECT_EQ(l->GetText(), "x\nx\nx\nx");
    l->SetElement(number(0).get(), l.get());
    // {4 x, {{x}, x}, x}: the former first element {x} is replaced.
    EXPECT_EQ(lengthOf(l), 3);
    EXPECT_EQ(l->GetText(), "x\nx\nx\nx\nx\nx\nx");
    for (double i : {0, 1})
        EXPECT_NE(at(l, i).get(), l.get());
}

TEST(ListCycles, AnEmptyListAppendedToItselfHoldsAnEmptyList) {
    MvValueHolder l(MvListCreate());
    l->Append(l);
    EXPECT_EQ(lengthOf(l), 1);
    MvValueHolder inner = at(l, 0);
    EXPECT_EQ(lengthOf(inner), 0);
    EXPECT_EQ(l->GetText(), "");
}

// ----------------------------------------------------- through lists

TEST(ListCycles, AListHeldByTheValueIsCopiedOnThePathOnly) {
    MvValueHolder m = listOf({"m"});
    MvValueHolder k = listOf({"k"});
    MvValueHolder l(MvListCreate());
    l->Append(m);
    l->Append(k);
    m->Append(l);   // m is inside l: l reaches m
    EXPECT_EQ(m->GetText(), joined("m", "m\nk"));
    MvValueHolder stored = at(m, 1);
    EXPECT_NE(stored.get(), l.get());
    // On the path to m: copied. Off the path (k): still shared.
    EXPECT_NE(at(stored, 0).get(), m.get());
    EXPECT_EQ(at(stored, 1).get(), k.get());
    // l itself is unchanged and still shares m.
    EXPECT_EQ(at(l, 0).get(), m.get());
    EXPECT_EQ(l->GetText(), "m\nm\nk\nk");
}

TEST(ListCycles, ThreeLevelsDeepAndSharedSublistsAreCopiedOnce) {
    MvValueHolder c = listOf({"c"});
    MvValueHolder b(MvListCreate());
    b->Append(c);
    b->Append(c);   // c twice: the copy keeps the sharing
    MvValueHolder a(MvListCreate());
    a->Append(b);
    c->SetElement(number(0).get(), a.get());
    MvValueHolder aCopy = at(c, 0);
    MvValueHolder bCopy = at(aCopy, 0);
    EXPECT_NE(aCopy.get(), a.get());
    EXPECT_NE(bCopy.get(), b.get());
    EXPECT_EQ(at(bCopy, 0).get(), at(bCopy, 1).get());
    EXPECT_NE(at(bCopy, 0).get(), c.get());
    EXPECT_EQ(at(bCopy, 0)->GetText(), "c");
    EXPECT_EQ(a->GetText(), "c\nc\nc\nc");
}

TEST(ListCycles, ValuesThatCloseNoCycleAreShared) {
    MvValueHolder inner = listOf({"i"});
    MvValueHolder outer(MvListCreate());
    outer->Append(inner);
    MvValueHolder other = listOf({"o"});
    // inner is held by a list, so storing into it is checked; other does
    // not reach inner and is stored as it is.
    inner->Append(other);
    EXPECT_EQ(at(inner, 1).get(), other.get());
    MvValueHolder word = text("w");
    inner->Append(word);
    EXPECT_EQ(at(inner, 2).get(), word.get());
    // A list holding the target only through a non-list is no problem.
    outer->Append(other);
    EXPECT_EQ(at(outer, 1).get(), other.get());
}

TEST(ListCycles, ACopyMadeForWriteDoesNotReachItsOriginal) {
    // l[0] is shared with m, so writing through l copies it first; the copy
    // is then the list that must not be reached.
    MvValueHolder m = listOf({"m"});
    MvValueHolder l(MvListCreate());
    l->Append(m);
    MvValueHolder target = l->GetElement(number(0).get(), true);
    EXPECT_NE(target.get(), m.get());
    target->Append(l);
    EXPECT_EQ(l->GetText(), "m\nm");
    EXPECT_EQ(m->GetText(), "m");
}

// ---------------------------------------------------- flat interface

TEST(ListCycles, MvListAppendOfAListToItselfLeavesTheCallerItsList) {
    MvValue* l = MvListCreate();
    MvListAppend(MvValueAsList(l), MvTextCreate("t"));
    MvListAppend(MvValueAsList(l), l);
    MvValueHolder first = l->GetElement(number(1).get(), false);
    EXPECT_NE(first.get(), l);
    EXPECT_EQ(l->GetText(), "t\nt");
    first.release();
    MvListDelete(l);   // still the caller's to delete: no leak, no double free
}

TEST(ListCycles, MvListAppendOfAFreshListHoldingTheTarget) {
    MvValueHolder l = listOf({"l"});
    MvValueHolder holder(MvListCreate());
    holder->Append(l);   // l is now held by a list
    MvValue* fresh = MvListCreate();
    MvListAppend(MvValueAsList(fresh), l.get());
    MvListAppend(MvValueAsList(l.get()), fresh);   // taken over by l
    EXPECT_EQ(l->GetText(), "l\nl");
    MvValueHolder stored = at(l, 1);
    EXPECT_NE(stored.get(), fresh);
    EXPECT_NE(at(stored, 0).get(), l.get());
}

// ------------------------------------------------------ through scripts

TEST(ListCycles, ScriptsStoringAListIntoItselfPrintAndSaveIt) {
    std::filesystem::path file =
        std::filesystem::temp_directory_path() / "mv_list_cycle_test.val";
    std::string script = "set l to {1, true};\n"
                         "append l to l;\n"
                         "set m to {2, l};\n"
                         "set l[0] to m;\n"
                         "set l[0][1][2] to l;\n"
                         "print l;\n"
                         "set file \"" + file.string() + "\" to l;\n"
                         "set k to file \"" + file.string() + "\";\n"
                         "print k;\n";
    RunResult r = runScript(script);
    std::remove(file.string().c_str());
    EXPECT_TRUE(r.records.empty()) << r.records[0].message;
    // l = {m', true, {1, true}} with m' = {2, l'} and l' = {1, true, c},
    // c being the copy of l that l' received.
    const std::string printed =
        "2\n1\ntrue\n2\n1\ntrue\n1\ntrue\ntrue\n1\ntrue\ntrue\n1\ntrue\n";
    EXPECT_EQ(r.console, printed + printed);
}

} // namespace
