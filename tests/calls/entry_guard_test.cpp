// The flat entry points let no exception through to a host: a failure is
// their fallback result and a line on the warning console naming the entry
// point. The functions a native function calls raise script errors instead,
// and only script errors.
#include "calls_support.h"
#include "thrown_message.h"

#include "morvane/MvHost.h"
#include "morvane/MvParser.h"

#include <string>

TEST(EntryGuard, SessionFunctionsRefuseANullSessionWithoutRaising) {
    takeWarnings();
    EXPECT_EQ(messageOf([] {
                  MvParserCheckSyntax(nullptr);
                  MvParserExecute(nullptr);
                  MvParserLexicalPassOnly(nullptr);
                  MvParserSetInterruptedFlag(nullptr, 1);
                  MvParserReleaseParseErrors(nullptr);
              }),
              kNoException);
    EXPECT_EQ(MvParserGetDoneFlag(nullptr), 0);
    EXPECT_EQ(MvParserGetParseErrorCount(nullptr), 0);
    EXPECT_EQ(MvParserGetParseError(nullptr, 0), nullptr);
    EXPECT_EQ(MvParserGetConsoleStream(nullptr), nullptr);
    EXPECT_EQ(MvParserGetWindow(nullptr, 0), nullptr);
    const std::string warnings = takeWarnings();
    EXPECT_NE(warnings.find("MvParserCheckSyntax: no session was given\n"), std::string::npos)
        << warnings;
    EXPECT_NE(warnings.find("MvParserGetDoneFlag: no session was given\n"), std::string::npos);

    // Deleting null and writing a null record are no-ops.
    MvParserDelete(nullptr);
    Mv_stringstream sink;
    MvParseErrorWriteToStream(nullptr, &sink);
    MvParseErrorSetDisplayedFlag(nullptr);
    EXPECT_EQ(MvParseErrorGetDisplayedFlag(nullptr), 0);
    EXPECT_EQ(sink.str(), "");
    EXPECT_EQ(takeWarnings(), "");
}

TEST(EntryGuard, RegistryAndLoadingFunctionsNeverRaise) {
    ensureBuiltins();
    takeWarnings();
    std::int32_t status = 0;
    EXPECT_EQ(messageOf([&] {
                  MvRegisterPlugin(nullptr, &status, nullptr);
                  MvRegisterPlugin(nullptr, nullptr, "/no/such/plugin.so");
                  MvPluginRegistryGetSignature(nullptr, nullptr, nullptr);
                  MvPluginRegistryGetSignature("Math", "NoSuchFunction", nullptr);
              }),
              kNoException);
    EXPECT_EQ(status, 47);
    EXPECT_NE(takeWarnings().find("MvPluginRegistryGetSignature: Function doesn't exist\n"),
              std::string::npos);
    EXPECT_FALSE(MvPluginRegistryGetFunctionName(nullptr, 0, nullptr));
}

TEST(EntryGuard, ValueFunctionsForNativeCodeRaiseScriptErrors) {
    MvValue* vector = MvVectorCreate();
    MvVectorAppend(MvValueAsVector(vector), 4);
    EXPECT_EQ(MvVectorGetValueAt(MvValueAsVector(vector), 0), 4);
    EXPECT_EQ(messageOf([&] { MvVectorGetValueAt(MvValueAsVector(vector), 1); }),
              "Index \"1\" is too large (> 0).");
    EXPECT_EQ(messageOf([&] { MvVectorGetValueAt(MvValueAsVector(vector), -1); }),
              "Index \"-1\" is too small (< 0).");
    EXPECT_EQ(messageOf([] { MvVectorGetValueAt(nullptr, 0); }),
              "Index \"0\" is too large (> -1).");
    EXPECT_EQ(messageOf([] { MvVectorSetValueAt(nullptr, 0, 1); }), "no vector was given");
    MvVectorDelete(vector);

    // Appending to no list frees the fresh element instead of leaking it.
    MvListAppend(nullptr, MvNumberCreate(1));
    EXPECT_EQ(MvTextGetTextPtr(MvValueAsText(nullptr)), std::string());
    MvValue* text = MvTextCreate(nullptr);
    EXPECT_EQ(std::string(MvTextGetTextPtr(MvValueAsText(text))), "");
    MvTextDelete(text);
}
