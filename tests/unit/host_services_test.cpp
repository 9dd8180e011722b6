// The clipboard a host may install: copying a value to the clipboard hands
// its text form to the host's callback, and clearing the callbacks brings
// back the process's own clipboard.
#include "morvane/MvHostServices.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Recorder {
    std::vector<std::string> texts;
    int reads = 0;
    std::string held;
};

void recordText(void* context, const char* text) {
    static_cast<Recorder*>(context)->texts.push_back(text ? text : "<null>");
}

const char* readText(void* context) {
    Recorder* r = static_cast<Recorder*>(context);
    ++r->reads;
    return r->held.c_str();
}

class Clipboard : public ::testing::Test {
protected:
    void SetUp() override { MvSetClipboardCallbacks(recordText, readText, &recorder); }
    void TearDown() override { MvSetClipboardCallbacks(nullptr, nullptr, nullptr); }

    Recorder recorder;
};

TEST_F(Clipboard, CopiesTheTextFormOfScalars) {
    MvValueHolder n(MvNumberCreate(5));
    MvValueHolder f(MvNumberCreate(1.0 / 3.0));
    MvValueHolder t(MvTextCreate("hello world"));
    MvValueHolder b(MvBooleanCreate(false));
    MvValueHolder empty(MvTextCreate(""));
    n->CopyToClipboard();
    f->CopyToClipboard();
    t->CopyToClipboard();
    b->CopyToClipboard();
    empty->CopyToClipboard();
    EXPECT_EQ(recorder.texts,
              (std::vector<std::string>{"5", "0.333333", "hello world", "false", ""}));
    EXPECT_EQ(t->GetText(), "hello world");
}

TEST_F(Clipboard, TextWithLineEnds) {
    MvValueHolder t(MvTextCreate("one\ntwo\r\n"));
    t->CopyToClipboard();
    ASSERT_EQ(recorder.texts.size(), 1u);
    EXPECT_EQ(recorder.texts[0], "one\ntwo\r\n");
}

TEST_F(Clipboard, ValueWithoutTextPutsNothing) {
    MvValueHolder none(MvNoValueCreate());
    try {
        none->CopyToClipboard();
    } catch (MvException* e) {
        delete e;
    }
    EXPECT_TRUE(recorder.texts.empty());
}

TEST_F(Clipboard, ClearingTheCallbacksRestoresTheDefault) {
    MvSetClipboardCallbacks(nullptr, nullptr, nullptr);
    MvValueHolder n(MvNumberCreate(7));
    n->CopyToClipboard();
    EXPECT_TRUE(recorder.texts.empty());

    MvSetClipboardCallbacks(recordText, readText, &recorder);
    n->CopyToClipboard();
    EXPECT_EQ(recorder.texts, std::vector<std::string>{"7"});
}

TEST_F(Clipboard, NewCallbacksReplaceTheOld) {
    Recorder second;
    MvSetClipboardCallbacks(recordText, readText, &second);
    MvValueHolder t(MvTextCreate("abc"));
    t->CopyToClipboard();
    EXPECT_TRUE(recorder.texts.empty());
    EXPECT_EQ(second.texts, std::vector<std::string>{"abc"});
}

} // namespace
