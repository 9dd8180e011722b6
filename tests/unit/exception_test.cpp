// The runtime-error family: the message each constructor composes, the
// raising helpers (index check, system-error texts) and the return-value
// carrier that holds a counted reference to a value.
#include "thrown_message.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kSupport = "support@morvane.example";

// Throws e as a pointer to its own class and reports whether a handler for
// the base pointer caught it, with the message seen there.
template <class E>
std::pair<bool, std::string> catchAsBase(E* e) {
    try {
        throw e;
    } catch (MvException* base) {
        std::string text = base->getMessage();
        delete base;
        return {true, text};
    } catch (...) {
        return {false, ""};
    }
}

// ---------------------------------------------------------------------------
// Constructor messages

TEST(ExceptionMessages, BaseEmptyAndText) {
    {
        MvException e;
        EXPECT_EQ(e.getMessage(), "");
    }
    {
        MvException e("plain words");
        EXPECT_EQ(e.getMessage(), "plain words");
    }
    {
        MvException e(std::string("from a string"));
        EXPECT_EQ(e.getMessage(), "from a string");
    }
    {
        MvException e("");
        EXPECT_EQ(e.getMessage(), "");
    }
    {
        // A byte string may hold zero bytes; the message keeps them all.
        std::string bytes("a\0b", 3);
        MvException e(bytes);
        EXPECT_EQ(e.getMessage(), bytes);
    }
}

TEST(ExceptionMessages, GetMessageIsRepeatable) {
    MvException e("same");
    EXPECT_EQ(e.getMessage(), "same");
    EXPECT_EQ(e.getMessage(), "same");
}

TEST(ExceptionMessages, TypeMismatch) {
    EXPECT_EQ(MvTypeException("number").getMessage(), "Type mismatch error, expecting (number)");
    EXPECT_EQ(MvTypeException("").getMessage(), "Type mismatch error, expecting ()");
}

TEST(ExceptionMessages, OperatorOnlyForm) {
    EXPECT_EQ(MvOperatorException("-").getMessage(), "Operator (-) used with incompatible types");
    EXPECT_EQ(MvOperatorException("[i,j]").getMessage(),
              "Operator ([i,j]) used with incompatible types");
}

TEST(ExceptionMessages, OperatorInfixForm) {
    EXPECT_EQ(MvOperatorException(MvTypeBoolean, "+", MvTypeNumber).getMessage(),
              "Can't execute \"boolean + number\" : incompatible types.");
    EXPECT_EQ(MvOperatorException(MvTypeImageMono, "surgical -", MvTypeVideoOutput).getMessage(),
              "Can't execute \"image_mono surgical - video_output\" : incompatible types.");
}

TEST(ExceptionMessages, OperatorFunctionLikeForm) {
    EXPECT_EQ(MvOperatorException("difference", MvTypeText, MvTypeFrame).getMessage(),
              "Can't execute \"difference text frame\" : incompatible types.");
}

TEST(ExceptionMessages, OperatorPrefixForm) {
    EXPECT_EQ(MvOperatorException("sqrt", MvTypeText).getMessage(),
              "Can't execute \"sqrt(text)\" : incompatible type.");
    EXPECT_EQ(MvOperatorException("!", MvTypeUndefined).getMessage(),
              "Can't execute \"!(undefined)\" : incompatible type.");
}

TEST(ExceptionMessages, OperatorPostfixForm) {
    EXPECT_EQ(MvOperatorException(MvTypeDate, "++").getMessage(),
              "Can't execute \"date ++\" : incompatible type.");
}

TEST(ExceptionMessages, OperatorFormsNameEveryKind) {
    // The type names come from the type vocabulary, so each kind must appear
    // under its own name.
    const std::vector<std::pair<MvTypeEnum, const char*>> kinds = {
        {MvTypeNumber, "number"},         {MvTypeBoolean, "boolean"},
        {MvTypeVector, "vector"},         {MvTypeColor, "color"},
        {MvTypeVideoSource, "videosource"}, {MvTypeMovie, "movie"},
        {MvTypeText, "text"},             {MvTypeDate, "date"},
        {MvTypeList, "list"},             {MvTypeVideoOutput, "video_output"},
        {MvTypeFrameMono, "frame_mono"},  {MvTypeFrame, "frame"},
        {MvTypeImageMono, "image_mono"},  {MvTypeImage, "image"},
        {MvTypeUndefined, "undefined"}};
    for (const auto& [kind, name] : kinds) {
        EXPECT_EQ(MvOperatorException("abs", kind).getMessage(),
                  std::string("Can't execute \"abs(") + name + ")\" : incompatible type.")
            << name;
        EXPECT_EQ(MvOperatorException(kind, "*", kind).getMessage(),
                  std::string("Can't execute \"") + name + " * " + name +
                      "\" : incompatible types.")
            << name;
    }
}

TEST(ExceptionMessages, FixedTextClasses) {
    EXPECT_EQ(MvInvalidPropertyException().getMessage(), "Invalid Property Requested");
    EXPECT_EQ(MvIdentifierException("abc").getMessage(), "Invalid identifier (abc)");
    EXPECT_EQ(MvInterruptException().getMessage(), "Interrupted");
}

TEST(ExceptionMessages, MemoryAndFile) {
    // The memory text has a closing parenthesis but no opening one.
    EXPECT_EQ(MvMemoryException(" in resize").getMessage(), "Out of Memory in resize)");
    EXPECT_EQ(MvMemoryException("").getMessage(), "Out of Memory)");
    EXPECT_EQ(MvFileException("cannot open x").getMessage(), "File error(cannot open x)");
    EXPECT_EQ(MvFileException("").getMessage(), "File error()");
}

TEST(ExceptionMessages, CoercionWithAndWithoutDetail) {
    EXPECT_EQ(MvCoercionException(MvTypeNumber, MvTypeList, "is not possible.").getMessage(),
              "Coercion from (number) to (list) is not possible.");
    EXPECT_EQ(
        MvCoercionException(MvTypeNumber, MvTypeVector, " is not yet implemented.").getMessage(),
        "Coercion from (number) to (vector)  is not yet implemented.");
    // Without a detail the text stops after the blank behind the target.
    EXPECT_EQ(MvCoercionException(MvTypeImage, MvTypeText, nullptr).getMessage(),
              "Coercion from (image) to (text) ");
}

TEST(ExceptionMessages, EveryClassIsCaughtAsBasePointer) {
    std::vector<std::pair<bool, std::string>> seen;
    seen.push_back(catchAsBase(new MvException("base")));
    seen.push_back(catchAsBase(new MvTypeException("text")));
    seen.push_back(catchAsBase(new MvOperatorException("-")));
    seen.push_back(catchAsBase(new MvOperatorException(MvTypeText, "<", MvTypeText)));
    seen.push_back(catchAsBase(new MvOperatorException("pow", MvTypeText, MvTypeNumber)));
    seen.push_back(catchAsBase(new MvOperatorException("ln", MvTypeText)));
    seen.push_back(catchAsBase(new MvOperatorException(MvTypeText, "op")));
    seen.push_back(catchAsBase(new MvInvalidPropertyException()));
    seen.push_back(catchAsBase(new MvIdentifierException("q")));
    seen.push_back(catchAsBase(new MvMemoryException("m")));
    seen.push_back(catchAsBase(new MvFileException("f")));
    seen.push_back(catchAsBase(new MvInterruptException()));
    seen.push_back(catchAsBase(new MvCoercionException(MvTypeText, MvTypeDate, "d")));
    const std::vector<std::string> expected = {
        "base",
        "Type mismatch error, expecting (text)",
        "Operator (-) used with incompatible types",
        "Can't execute \"text < text\" : incompatible types.",
        "Can't execute \"pow text number\" : incompatible types.",
        "Can't execute \"ln(text)\" : incompatible type.",
        "Can't execute \"text op\" : incompatible type.",
        "Invalid Property Requested",
        "Invalid identifier (q)",
        "Out of Memorym)",
        "File error(f)",
        "Interrupted",
        "Coercion from (text) to (date) d"};
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_TRUE(seen[i].first) << "class #" << i << " not caught as MvException*";
        EXPECT_EQ(seen[i].second, expected[i]) << "class #" << i;
    }
}

TEST(ExceptionMessages, DeletingThroughBasePointerIsSafe) {
    // One virtual destructor shared by the family: deleting a subclass
    // through the base pointer must run cleanly (checked by the sanitizers).
    MvException* e = new MvCoercionException(MvTypeList, MvTypeText, "x");
    delete e;
    SUCCEED();
}

TEST(ExceptionRaising, MvRaiseThrowsPlainException) {
    EXPECT_EQ(thrownMessage([] { MvRaise("raised text"); }), "raised text");
    EXPECT_EQ(thrownMessage([] { MvError("error text"); }), "error text");
}

TEST(ExceptionRaising, BreakIsNotInTheFamily) {
    bool caughtAsBreak = false;
    try {
        throw new MvBreakException();
    } catch (MvException*) {
        ADD_FAILURE() << "break caught as an MvException*";
    } catch (MvBreakException* b) {
        caughtAsBreak = true;
        delete b;
    }
    EXPECT_TRUE(caughtAsBreak);
}

// ---------------------------------------------------------------------------
// Index check

TEST(IndexCheck, TooLarge) {
    EXPECT_EQ(thrownMessage([] { MvCheckIndex(5, 0, 4); }), "Index \"5\" is too large (> 4).");
    EXPECT_EQ(thrownMessage([] { MvCheckIndex(1000000, -3, 999999); }),
              "Index \"1000000\" is too large (> 999999).");
}

TEST(IndexCheck, TooSmall) {
    EXPECT_EQ(thrownMessage([] { MvCheckIndex(-1, 0, 4); }), "Index \"-1\" is too small (< 0).");
    EXPECT_EQ(thrownMessage([] { MvCheckIndex(2, 3, 10); }), "Index \"2\" is too small (< 3).");
    EXPECT_EQ(thrownMessage([] { MvCheckIndex(-11, -10, -5); }),
              "Index \"-11\" is too small (< -10).");
}

TEST(IndexCheck, BoundsThemselvesAreAccepted) {
    EXPECT_NO_THROW(MvCheckIndex(0, 0, 4));
    EXPECT_NO_THROW(MvCheckIndex(4, 0, 4));
    EXPECT_NO_THROW(MvCheckIndex(2, 0, 4));
    EXPECT_NO_THROW(MvCheckIndex(7, 7, 7));
    EXPECT_NO_THROW(MvCheckIndex(-5, -10, -5));
}

TEST(IndexCheck, SingleElementRange) {
    EXPECT_EQ(thrownMessage([] { MvCheckIndex(8, 7, 7); }), "Index \"8\" is too large (> 7).");
    EXPECT_EQ(thrownMessage([] { MvCheckIndex(6, 7, 7); }), "Index \"6\" is too small (< 7).");
}

// ---------------------------------------------------------------------------
// System errors

TEST(SystemError, SupportAddress) { EXPECT_STREQ(MvSupportAddress(), kSupport.c_str()); }

struct TabledCode {
    std::int16_t code;
    std::vector<std::string> lines;
};

// Lines after the first are written behind three blanks, each on its own line.
std::string joinLines(const std::vector<std::string>& lines) {
    std::string text = lines.front();
    for (size_t i = 1; i < lines.size(); ++i)
        text += "\n   " + lines[i];
    return text;
}

std::vector<TabledCode> tabledCodes() {
    return {
        {-34, {"Disk is full"}},
        {-35, {"No such volume."}},
        {-36, {"I/O Error"}},
        {-37, {"Bad filename."}},
        {-43, {"File not found."}},
        {-45, {"File is locked."}},
        {-47, {"File is busy."}},
        {-108, {"Out of memory"}},
        {-120, {"Directory not found."}},
        {-2207,
         {"The video source cannot work with your current monitor color settings!",
          "Try reducing the number of colors from millions to thousands (and restarting),",
          "If this fails please inform " + kSupport + "."}},
        {-2208,
         {"The video source cannot work offscreen.",
          "Try reducing the number of colors from millions to thousands,",
          "If this fails please inform " + kSupport + "."}},
        {-5000, {"AppleTalk: User does not have the correct access privileges."}},
        {-5025, {"AppleTalk: Directory not found or incomplete pathname."}},
        {-5029, {"AppleTalk: Directory not found."}},
        {-5031, {"AppleTalk: Volume is Locked."}},
        {-8961,
         {"The chosen compressor cound not be found.",
          "(1) Try setting temporal_quality to zero. Some codec's don't like nonzero values.",
          "(2) Try choosing a different compressor.",
          "(3) Please send report to " + kSupport + "."}},
        {-9403, {"Insufficient memory is available to record."}},
        {-9404, {"Insufficient disk space is available to record."}},
        {-9405,
         {"The video source is not available.", "Please check your camera installation,",
          "or choose another camera in the preferences dialog."}},
    };
}

TEST(SystemError, EveryTabledCodeText) {
    for (const TabledCode& c : tabledCodes()) {
        // The text of a tabled code does not depend on the reporting place.
        EXPECT_EQ(MvSystemErrorText(c.code, 12, "here.cpp"), joinLines(c.lines)) << c.code;
    }
}

TEST(SystemError, EveryTabledCodeRaisesItsText) {
    for (const TabledCode& c : tabledCodes()) {
        const std::int16_t code = c.code;
        EXPECT_EQ(thrownMessage([code] { MvCheckSystemError(code, 77, "there.cpp"); }),
                  joinLines(c.lines))
            << code;
    }
}

std::string unknownReport(int code, int line, const std::string& file) {
    return "Caught System Error (" + std::to_string(code) + ") at line " + std::to_string(line) +
           " in file " + file + "\nPlease send report to " + kSupport + ".\n";
}

TEST(SystemError, UntabledCodeReport) {
    EXPECT_EQ(MvSystemErrorText(-1, 42, "movie.cpp"), unknownReport(-1, 42, "movie.cpp"));
    // Neighbours of tabled codes are not tabled.
    EXPECT_EQ(MvSystemErrorText(-33, 1, "a.cpp"), unknownReport(-33, 1, "a.cpp"));
    EXPECT_EQ(MvSystemErrorText(-44, 9, "b.cpp"), unknownReport(-44, 9, "b.cpp"));
    EXPECT_EQ(MvSystemErrorText(-9406, 300, "c.cpp"), unknownReport(-9406, 300, "c.cpp"));
    // Positive codes and the extremes of the 16-bit range.
    EXPECT_EQ(MvSystemErrorText(34, 5, "d.cpp"), unknownReport(34, 5, "d.cpp"));
    EXPECT_EQ(MvSystemErrorText(-32768, 6, "e.cpp"), unknownReport(-32768, 6, "e.cpp"));
    EXPECT_EQ(MvSystemErrorText(32767, 7, "f.cpp"), unknownReport(32767, 7, "f.cpp"));
}

TEST(SystemError, UntabledCodeRaisesReport) {
    EXPECT_EQ(thrownMessage([] { MvCheckSystemError(-50, 123, "engine/x.cpp"); }),
              unknownReport(-50, 123, "engine/x.cpp"));
}

TEST(SystemError, MacroPassesThisLineAndFile) {
    int line = 0;
    // Both on one line so that the recorded line is the macro's line.
    std::string text = thrownMessage([&line] { line = __LINE__; MV_CHECK_SYSTEM_ERROR(-51); });
    EXPECT_EQ(text, unknownReport(-51, line, __FILE__));
}

TEST(SystemError, ZeroDoesNotThrow) {
    EXPECT_NO_THROW(MvCheckSystemError(0, 1, "ok.cpp"));
    EXPECT_NO_THROW(MV_CHECK_SYSTEM_ERROR(0));
}

// ---------------------------------------------------------------------------
// The return-value carrier

// A value whose destruction the test can see.
class TrackedValue : public MvValue {
public:
    explicit TrackedValue(bool* destroyed) : destroyed_(destroyed) {}
    ~TrackedValue() override { *destroyed_ = true; }
    MvValue* Clone() override { return new TrackedValue(destroyed_); }
    MvTypeEnum GetType() override { return MvTypeNumber; }
    double GetNumber() override { return 4.25; }

private:
    bool* destroyed_;
};

TEST(ReturnValue, AdoptsRawPointer) {
    bool destroyed = false;
    TrackedValue* v = new TrackedValue(&destroyed);
    {
        MvReturnValue r(v);
        EXPECT_EQ(r.value.get(), v);
        EXPECT_EQ(v->refCount, 1u);
        EXPECT_EQ(v->holderCount, 1u);
    }
    EXPECT_TRUE(destroyed);
}

TEST(ReturnValue, HolderCopyAddsReferenceAndValueOutlivesOriginalHolder) {
    bool destroyed = false;
    TrackedValue* v = new TrackedValue(&destroyed);
    std::unique_ptr<MvReturnValue> carrier;
    {
        MvValueHolder h(v);
        carrier = std::make_unique<MvReturnValue>(h);
        EXPECT_EQ(v->refCount, 2u);
        EXPECT_EQ(v->holderCount, 2u);
    }
    // The variable that held the value is gone; the carrier keeps it alive.
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(v->refCount, 1u);
    EXPECT_EQ(v->holderCount, 1u);
    EXPECT_DOUBLE_EQ(carrier->value->GetNumber(), 4.25);
    carrier.reset();
    EXPECT_TRUE(destroyed);
}

TEST(ReturnValue, ThrownByValueCarriesTheValueToTheHandler) {
    bool destroyed = false;
    TrackedValue* v = new TrackedValue(&destroyed);
    MvValueHolder observer(v);
    bool caught = false;
    try {
        MvValueHolder local(observer);
        throw MvReturnValue(local);
    } catch (MvReturnValue& r) {
        caught = true;
        // The local holder was released while unwinding; the carrier and the
        // observer remain.
        EXPECT_EQ(r.value.get(), v);
        EXPECT_EQ(v->holderCount, 2u);
        EXPECT_EQ(v->refCount, 2u);
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(caught);
    // The carrier is gone with the handler.
    EXPECT_EQ(v->holderCount, 1u);
    EXPECT_EQ(v->refCount, 1u);
    EXPECT_FALSE(destroyed);
    observer.release();
    EXPECT_TRUE(destroyed);
}

TEST(ReturnValue, EmptyCarrier) {
    MvReturnValue r;
    EXPECT_FALSE(r.value);
    bool caught = false;
    try {
        throw MvReturnValue();
    } catch (MvException*) {
        ADD_FAILURE() << "a return value is not an MvException";
    } catch (MvReturnValue& thrown) {
        caught = true;
        EXPECT_FALSE(thrown.value);
    }
    EXPECT_TRUE(caught);
}

} // namespace
