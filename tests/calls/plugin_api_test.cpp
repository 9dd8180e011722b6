// The plug-in interface: registering signatures, their listing texts,
// reading arguments through the parameter block, the registry listings and
// loading plug-in libraries.
#include "calls_support.h"

// The session's internals (its text, line map and own functions) for the
// white-box checks below.
#include "../../engine/frontend/MvSession.h"

#include <algorithm>
#include <utility>

// A signature whose commit failed belongs to the plug-in that made it, and
// the interface gives the plug-in no way to free it: the one the broken
// plug-in leaves behind is not a leak of the engine.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:bad_namespace_plugin.cpp\n";
}

namespace {

// Runs f, which must raise a runtime error, and gives its message.
template <class F>
std::string raisedBy(F f) {
    try {
        f();
    } catch (MvException* error) {
        std::string message = error->getMessage();
        delete error;
        return message;
    }
    return "<nothing raised>";
}

std::string signatureText(const char* nameSpace, const char* function) {
    MvValue* out = MvTextCreate("");
    MvPluginRegistryGetSignature(nameSpace, function, MvValueAsText(out));
    std::string text = MvTextGetTextPtr(MvValueAsText(out));
    MvTextDelete(out);
    return text;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

MvValue* returnsNothing(MvPluginErrorBlock*, MvParameterBlock*) { return nullptr; }

// ------------------------------------------------------ registration

TEST(PluginRegistration, SignatureTextsFollowTheDeclarations) {
    MvPluginSignature* s = MvPluginSignatureCreate(2, MvTypeNumber, &returnsNothing);
    MvPluginSignatureSetParam(s, MvTypeNumber, "a", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "b", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureCommit(s, "TextA", "Maximum", "The larger.");
    EXPECT_EQ(signatureText("TextA", "Maximum"),
              "\n/*\nThe larger.\n*/\nTextA.Maximum(\n        const number a,\n"
              "        const number b)\n    returns number\n");

    s = MvPluginSignatureCreate(0, MvTypeText | MvTypeList, &returnsNothing);
    MvPluginSignatureCommit(s, "TextA", "None", "No parameters.");
    EXPECT_EQ(signatureText("TextA", "None"),
              "\n/*\nNo parameters.\n*/\nTextA.None() returns (text | list)\n");

    s = MvPluginSignatureCreate(1, MvType(), &returnsNothing);
    MvPluginSignatureSetParam(s, MvTypeText, "label", MvTextCreate("abc"), MvArgumentConsumed);
    MvPluginSignatureCommit(s, "TextA", "One", "d");
    EXPECT_EQ(signatureText("TextA", "One"), "\n/*\nd\n*/\nTextA.One(text label -> \"abc\") returns none\n");

    MvValue* pair = MvVectorCreate();
    MvVectorAppend(MvValueAsVector(pair), 1);
    MvVectorAppend(MvValueAsVector(pair), 2);
    MvType byReference(MvTypeImage);
    byReference.setReference(true);
    s = MvPluginSignatureCreate(5, MvType::MvTypeAny(), &returnsNothing);
    MvPluginSignatureSetParam(s, MvTypeVector, "origin", pair, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "depth", MvParamDynamic, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, MvParamUnnamed, MvParamRequired, MvArgumentNotConsumed);
    // A type marked by reference makes the parameter by reference (never const).
    MvPluginSignatureSetParam(s, byReference, "canvas", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeColor, "tint", nullptr, MvArgumentNotConsumed);
    MvPluginSignatureCommit(s, "TextA", "Many", "Several\n\tkinds.");
    EXPECT_EQ(signatureText("TextA", "Many"),
              "\n/*\nSeveral\n\tkinds.\n*/\nTextA.Many(\n"
              "        const vector origin -> {1\t2},\n"
              "        const number depth -> <dynamic>,\n"
              "        const number <unnamed>,\n"
              "        image& canvas,\n"
              "        const color tint -> Error: Parameter is not required, not dynamic and has NO DEFAULT!)\n"
              "    returns any\n");
}

TEST(PluginRegistration, CommittingTwiceGivesTwoOverloadsInOrder) {
    for (const char* description : {"first", "second"}) {
        MvPluginSignature* s = MvPluginSignatureCreate(0, MvTypeNumber, &returnsNothing);
        MvPluginSignatureCommit(s, "TextB", "Twice", description);
    }
    EXPECT_EQ(signatureText("TextB", "Twice"),
              "\n/*\nfirst\n*/\nTextB.Twice() returns number\n\n"
              "\n/*\nsecond\n*/\nTextB.Twice() returns number\n");
}

TEST(PluginRegistration, BadDeclarationsAndCommitsAreRefused) {
    EXPECT_EQ(raisedBy([] { MvPluginSignatureCreate(0, MvTypeNumber, nullptr); }),
              "Nil function pointer in plug-in registration");

    MvPluginSignature* s = MvPluginSignatureCreate(2, MvTypeNumber, &returnsNothing);
    MvPluginSignatureSetParam(s, MvTypeNumber, "a", MvParamRequired, MvArgumentNotConsumed);
    EXPECT_EQ(raisedBy([s] { MvPluginSignatureCommit(s, "Refused", "Short", "d"); }),
              "Plugin \"Refused.Short\" initialized with wrong number of parameters.");
    EXPECT_EQ(raisedBy([s] { MvPluginSignatureCommit(s, "", "Short", "d"); }),
              "Plugin \"Short\" needs a namespace.");
    EXPECT_EQ(raisedBy([s] { MvPluginSignatureCommit(s, nullptr, "Short", "d"); }),
              "Plugin \"Short\" needs a namespace.");
    EXPECT_EQ(raisedBy([s] { MvPluginSignatureCommit(s, "__MorvaneInternal", "Short", "d"); }),
              "Plugin \"Short\" needs a namespace.");
    EXPECT_FALSE(MvPluginRegistry::THE_PluginRegistry()->hasNameSpace("Refused"));

    // Declaring past the count is refused and leaves the signature usable.
    MvPluginSignatureSetParam(s, MvTypeNumber, "b", MvParamRequired, MvArgumentNotConsumed);
    std::string extra = raisedBy([s] {
        MvPluginSignatureSetParam(s, MvTypeNumber, "c", MvNumberCreate(1), MvArgumentNotConsumed);
    });
    EXPECT_NE(extra.find("declared beyond the 2 parameters"), std::string::npos) << extra;
    MvPluginSignatureCommit(s, "Refused", "Short", "d");
    EXPECT_EQ(signatureText("Refused", "Short"),
              "\n/*\nd\n*/\nRefused.Short(\n        const number a,\n        const number b)\n"
              "    returns number\n");
}

// ----------------------------------------------------------- listings

TEST(PluginListings, NamesAreInByteOrderWithTheInternalNamespaceUnprefixed) {
    SessionPtr session = newSession(
        "define zeta.q begin end define f begin end define Geo.area(a) begin end\n"
        "define Geo.Zone begin end\n");
    MvParserCheckSyntax(session.get());
    MvPluginRegistry& local = MvSession::of(session.get())->getLocalFunctions();
    MvValue* names = MvListAsValue(local.GetFunctionNames());
    EXPECT_EQ(names->GetText(), "Geo.Zone\nGeo.area\nf\nzeta.q");
    MvListDelete(names);
    MvValue* spaces = MvListAsValue(local.GetNameSpaceNames());
    EXPECT_EQ(spaces->GetText(), "Geo\nzeta");
    MvListDelete(spaces);
    MvValue* internal = MvListAsValue(local.GetFunctionNamesInternal());
    EXPECT_EQ(internal->GetText(), "f");
    MvListDelete(internal);
    MvValue* texts = MvListAsValue(local.GetSignatures("__MorvaneInternal", "f"));
    EXPECT_EQ(texts->GetText(), "\n/*\n\n*/\nf() returns any\n");
    MvListDelete(texts);
    EXPECT_EQ(raisedBy([&local] { MvListDelete(MvListAsValue(local.GetFunctionNames("nowhere"))); }),
              "NameSpace doesn't exist");
    EXPECT_EQ(raisedBy([&local] { MvListDelete(MvListAsValue(local.GetSignatures("Geo", "nothing"))); }),
              "Function doesn't exist");
}

TEST(PluginListings, FlatWrappersIndexTheProcessRegistry) {
    MvDeletePluginRegistry();
    MvPluginRegistryInitInternal();
    MvValue* out = MvTextCreate("");
    MvTextValue* text = MvValueAsText(out);
    std::vector<std::string> spaces;
    for (std::int32_t i = 0; MvPluginRegistryGetNameSpace(i, text); ++i)
        spaces.push_back(MvTextGetTextPtr(text));
    EXPECT_EQ(spaces, (std::vector<std::string>{"Client", "Draw", "File", "Filter", "Find",
                                                "Fractal", "Frame", "Function", "Math", "System",
                                                "TestHarness"}));
    EXPECT_FALSE(MvPluginRegistryGetNameSpace(-1, text));

    std::vector<std::string> system;
    for (std::int32_t i = 0; MvPluginRegistryGetFunctionName("System", i, text); ++i)
        system.push_back(MvTextGetTextPtr(text));
    EXPECT_EQ(system, (std::vector<std::string>{"MorvaneVersion", "OS", "Processor"}));
    EXPECT_FALSE(MvPluginRegistryGetFunctionName("Nowhere", 0, text));
    EXPECT_FALSE(MvPluginRegistryGetFunctionNamesInternal(0, text));

    MvPluginRegistryGetSignature("System", "OS", text);
    EXPECT_EQ(std::string(MvTextGetTextPtr(text)),
              "\n/*\nReturn the name of the operating system 'MacOS', 'MacOSX' 'Windows'.\n*/\n"
              "System.OS() returns text\n");
    // An unknown namespace leaves the text empty and says why on the
    // warning console; nothing is raised to the host.
    takeWarnings();
    EXPECT_EQ(raisedBy([text] { MvPluginRegistryGetSignatureInternal("OS", text); }),
              "<nothing raised>");
    EXPECT_EQ(std::string(MvTextGetTextPtr(text)), "");
    EXPECT_EQ(takeWarnings(), "MvPluginRegistryGetSignature: NameSpace doesn't exist\n");
    MvTextDelete(out);
}

TEST(PluginListings, DeletingTheRegistryForgetsEveryFunction) {
    ensureBuiltins();
    MvDeletePluginRegistry();
    EXPECT_FALSE(MvPluginRegistry::THE_PluginRegistry()->hasNameSpace("Math"));
    RunResult r = runScript("print Math.Maximum(1, 2);\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, "Function is not defined.");
    EXPECT_EQ(r.records[0].text, "Math.Maximum");

    // Registering the built-ins twice doubles every overload.
    MvPluginRegistryInitInternal();
    MvPluginRegistryInitInternal();
    const std::string twice = signatureText("Math", "Minimum");
    EXPECT_EQ(occurrences(twice, "/*"), 8u);
    EXPECT_EQ(occurrences(twice, "Return the lesser of the two parameters."), 2u);
    MvDeletePluginRegistry();
    MvPluginRegistryInitInternal();
    r = runScript("print Math.Maximum(1, 2);\n");
    EXPECT_EQ(r.console, "2\n");
}

// ------------------------------------------------------------- loading

namespace {

// The message starts as the path and the fixed text, then says why.
bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

TEST(PluginLoading, AFileThatIsNoLibraryIsStatus47WithTheReason) {
    LoadResult loaded = loadPlugin(MV_NOT_A_LIBRARY);
    EXPECT_EQ(loaded.status, 47);
    EXPECT_TRUE(startsWith(loaded.message,
                           std::string(MV_NOT_A_LIBRARY) + ": PlugIn could not be loaded. "))
        << loaded.message;
    EXPECT_GT(loaded.message.size(), std::string(MV_NOT_A_LIBRARY).size() + 30);

    loaded = loadPlugin("/no/such/folder/plugin.so");
    EXPECT_EQ(loaded.status, 47);
    EXPECT_EQ(loaded.message, "/no/such/folder/plugin.so: PlugIn could not be loaded. The file "
                              "cannot be opened: No such file or directory.");

    loaded = loadPlugin("/");
    EXPECT_EQ(loaded.status, 47);
    EXPECT_EQ(loaded.message, "/: PlugIn could not be loaded. The file is a folder.");
}

TEST(PluginLoading, ALibraryWithoutTheEntryPointIsStatus48) {
    LoadResult loaded = loadPlugin(MV_NO_ENTRY_PLUGIN);
    EXPECT_EQ(loaded.status, 48);
    EXPECT_EQ(loaded.message, "PlugIn does not export the function PluginRegisterVersion001()");
}

TEST(PluginLoading, AnEntryPointThatRaisesIsStatus99AndKeepsWhatItCommitted) {
    ensureBuiltins();
    LoadResult loaded = loadPlugin(MV_BAD_NAMESPACE_PLUGIN);
    EXPECT_EQ(loaded.status, 99);
    EXPECT_EQ(loaded.message,
              std::string(MV_BAD_NAMESPACE_PLUGIN) + ": Plugin \"Orphan\" needs a namespace.");
    MvPluginRegistry* registry = MvPluginRegistry::THE_PluginRegistry();
    EXPECT_TRUE(registry->hasFunction("Broken", "Seven"));
    MvValue* all = MvListAsValue(registry->GetFunctionNames());
    EXPECT_EQ(all->GetText().find("Orphan"), std::string::npos);
    MvListDelete(all);
    EXPECT_EQ(runScript("print Broken.Seven();\n").console, "7\n");
}

// The signatures an entry point leaves uncommitted are freed (the leak
// checker of the sanitizer build sees them otherwise), and the message names
// the rule the plug-in broke.
TEST(PluginLoading, ARefusedRegistrationSaysWhyAndFreesItsSignatures) {
    ensureBuiltins();
    LoadResult loaded = loadPlugin(MV_OVERDECLARED_PLUGIN);
    EXPECT_EQ(loaded.status, 99);
    EXPECT_EQ(loaded.message, std::string(MV_OVERDECLARED_PLUGIN) +
                                  ": Plugin parameter extra declared beyond the 1 parameters "
                                  "its signature was created with.");
    EXPECT_FALSE(MvPluginRegistry::THE_PluginRegistry()->hasNameSpace("Overdeclared"));
    EXPECT_TRUE(MvPluginRegistry::THE_PluginRegistry()->hasNameSpace("Forgetful"));
    EXPECT_EQ(runScript("print Forgetful.Kept();\n").console, "1\n");
}

TEST(PluginLoading, TheExamplePluginRegistersItsNamespace) {
    ensureBuiltins();
    if (!MvPluginRegistry::THE_PluginRegistry()->hasNameSpace("Example")) {
        LoadResult loaded = loadPlugin(MV_EXAMPLE_PLUGIN);
        EXPECT_EQ(loaded.status, 0);
        EXPECT_EQ(loaded.message, MV_EXAMPLE_PLUGIN);
    }
    RunResult r = runScript("print Function.GetFunctions(\"Example\");\n");
    EXPECT_EQ(r.console, "AppendOne\nFail\nIncrement\nLiar\nScale\nWords\n");
    EXPECT_EQ(signatureText("Example", "Increment"),
              "\n/*\nAdd amount to the variable value.\n*/\nExample.Increment(\n"
              "        number& value,\n        const number amount -> 1)\n    returns none\n");
}

// --------------------------------------------------- the parameter block

MvValue* probeNumber(MvPluginErrorBlock*, MvParameterBlock* p) {
    return MvNumberCreate(MvParameterBlockGetNumberValue(p, "value"));
}
MvValue* probeBoolean(MvPluginErrorBlock*, MvParameterBlock* p) {
    return MvBooleanCreate(MvParameterBlockGetBooleanValue(p, "value"));
}
MvValue* probeText(MvPluginErrorBlock*, MvParameterBlock* p) {
    return MvTextCreate(MvParameterBlockGetTextValue(p, "value"));
}
MvValue* probeElement(MvPluginErrorBlock*, MvParameterBlock* p) {
    double index = MvParameterBlockGetNumberValue(p, "index");
    return MvNumberCreate(MvParameterBlockGetVectorLength(p, "value") * 100 +
                          MvParameterBlockGetVectorValue(p, "value", static_cast<std::int32_t>(index)));
}
MvValue* probeUnknownName(MvPluginErrorBlock*, MvParameterBlock* p) {
    return MvParameterBlockGetValue(p, "nope");
}
MvValue* probeEmpty(MvPluginErrorBlock*, MvParameterBlock* p) {
    MvValue* v = MvParameterBlockGetValue(p, "value");
    return MvNumberCreate(MvParameterBlockIsDynamicGenerationRequired(p, "value") ? -1 : v->GetNumber());
}
MvValue* probeDynamic(MvPluginErrorBlock*, MvParameterBlock* p) {
    return MvBooleanCreate(MvParameterBlockIsDynamicGenerationRequired(p, "value"));
}
// Changes its own copy of the argument and returns it.
MvValue* probeUnique(MvPluginErrorBlock*, MvParameterBlock* p) {
    MvValue* v = MvParameterBlockGetValueUnique(p, "value");
    MvVectorAppend(MvValueAsVector(v), 9);
    return v->Clone();
}
MvValue* probeMutable(MvPluginErrorBlock*, MvParameterBlock* p) {
    MvParameterBlockGetValueMutable(p, "value");
    return nullptr;
}
MvValue* probeSet(MvPluginErrorBlock*, MvParameterBlock* p) {
    MvParameterBlockSetValue(p, "value", MvTextCreate("set"));
    return nullptr;
}
MvValue* probeSlot(MvPluginErrorBlock*, MvParameterBlock* p) {
    MvParameterBlockGetReferenceValue(p, "value");
    return nullptr;
}
MvValue* probeIsReference(MvPluginErrorBlock*, MvParameterBlock* p) {
    return MvBooleanCreate(MvParameterBlockIsReferenceValue(p, "value"));
}
// Exchanges the values of two variables through their slots.
MvValue* probeSwap(MvPluginErrorBlock*, MvParameterBlock* p) {
    MvValue** a = MvParameterBlockGetReferenceValue(p, "a");
    MvValue** b = MvParameterBlockGetReferenceValue(p, "b");
    std::swap(*a, *b);
    MvParameterBlockNotifyChange(p, "a");
    MvParameterBlockNotifyChange(p, "b");
    return nullptr;
}
// The same through the counted holders, and a fresh value given to the
// first variable through its holder when a third argument is true.
MvValue* probeSwapHolders(MvPluginErrorBlock*, MvParameterBlock* p) {
    MvValueHolder& a = MvParameterBlockGetReferenceHolder(p, "a");
    MvValueHolder& b = MvParameterBlockGetReferenceHolder(p, "b");
    MvValueHolder kept = a;
    a = b;
    b = kept;
    if (MvParameterBlockGetBooleanValue(p, "replace"))
        a = MvTextCreate("fresh");
    MvParameterBlockNotifyChange(p, "a");
    MvParameterBlockNotifyChange(p, "b");
    return nullptr;
}
MvValue* probeHolder(MvPluginErrorBlock*, MvParameterBlock* p) {
    MvParameterBlockGetReferenceHolder(p, "value");
    return nullptr;
}
MvValue* probeCompare(MvPluginErrorBlock*, MvParameterBlock* p) {
    return MvBooleanCreate(MvParameterBlockCompareTextValue(p, "value", "exact"));
}

void declare(const char* name, MvPluginFunction f, MvType result, MvValue* defaultValue,
             MvEnumArgumentConsumed consumed, MvType type = MvType::MvTypeAny()) {
    MvPluginSignature* s = MvPluginSignatureCreate(1, result, f);
    MvPluginSignatureSetParam(s, type, "value", defaultValue, consumed);
    MvPluginSignatureCommit(s, "Probe", name, "A probe of the parameter block.");
}

class ParameterBlock : public ::testing::Test {
protected:
    void SetUp() override {
        ensureBuiltins();
        if (MvPluginRegistry::THE_PluginRegistry()->hasNameSpace("Probe"))
            return;
        const MvType any = MvType::MvTypeAny();
        declare("Number", &probeNumber, MvTypeNumber, MvParamRequired, MvArgumentNotConsumed);
        declare("Boolean", &probeBoolean, MvTypeBoolean, MvParamRequired, MvArgumentNotConsumed);
        declare("Text", &probeText, MvTypeText, MvParamRequired, MvArgumentNotConsumed);
        declare("UnknownName", &probeUnknownName, any, MvParamRequired, MvArgumentNotConsumed);
        declare("Empty", &probeEmpty, MvTypeNumber, MvParamDynamic, MvArgumentNotConsumed);
        declare("Dynamic", &probeDynamic, MvTypeBoolean, MvParamDynamic, MvArgumentNotConsumed);
        declare("Unique", &probeUnique, MvTypeVector, MvParamRequired, MvArgumentConsumed);
        declare("Unique", &probeUnique, MvTypeVector, MvParamRequired, MvArgumentByReference);
        declare("Mutable", &probeMutable, MvType(), MvParamRequired, MvArgumentNotConsumed);
        declare("Set", &probeSet, MvType(), MvParamRequired, MvArgumentNotConsumed);
        declare("Set", &probeSet, MvType(), MvParamRequired, MvArgumentByReference);
        declare("Slot", &probeSlot, MvType(), MvParamRequired, MvArgumentNotConsumed);
        declare("IsReference", &probeIsReference, MvTypeBoolean, MvParamRequired,
                MvArgumentNotConsumed);
        declare("IsReference", &probeIsReference, MvTypeBoolean, MvParamRequired,
                MvArgumentByReference);
        declare("Compare", &probeCompare, MvTypeBoolean, MvParamRequired, MvArgumentNotConsumed);

        MvPluginSignature* s = MvPluginSignatureCreate(2, MvTypeNumber, &probeElement);
        MvPluginSignatureSetParam(s, any, "value", MvParamRequired, MvArgumentNotConsumed);
        MvPluginSignatureSetParam(s, MvTypeNumber, "index", MvParamRequired, MvArgumentNotConsumed);
        MvPluginSignatureCommit(s, "Probe", "Element", "A probe of vector arguments.");
        s = MvPluginSignatureCreate(2, MvType(), &probeSwap);
        MvPluginSignatureSetParam(s, any, "a", MvParamRequired, MvArgumentByReference);
        MvPluginSignatureSetParam(s, any, "b", MvParamRequired, MvArgumentByReference);
        MvPluginSignatureCommit(s, "Probe", "Swap", "Exchange two variables.");
        s = MvPluginSignatureCreate(3, MvType(), &probeSwapHolders);
        MvPluginSignatureSetParam(s, any, "a", MvParamRequired, MvArgumentByReference);
        MvPluginSignatureSetParam(s, any, "b", MvParamRequired, MvArgumentByReference);
        MvPluginSignatureSetParam(s, MvTypeBoolean, "replace", MvBooleanCreate(false),
                                  MvArgumentNotConsumed);
        MvPluginSignatureCommit(s, "Probe", "SwapHolders", "Exchange two variables.");
        declare("Holder", &probeHolder, MvType(), MvParamRequired, MvArgumentNotConsumed);
    }

    static std::string failure(const std::string& script) {
        RunResult r = runScript(script);
        return r.records.size() == 1 ? r.records[0].message : "<" + std::to_string(r.records.size()) + " records>";
    }
};

TEST_F(ParameterBlock, TypedReadsCheckTheArgumentsType) {
    EXPECT_EQ(runScript("print Probe.Number(2.5);\nprint Probe.Boolean(true);\n"
                        "print Probe.Text(\"t\");\nprint Probe.Element({4, 5, 6}, 2);\n")
                  .console,
              "2.5\ntrue\nt\n306\n");
    EXPECT_EQ(failure("print Probe.Number(\"text\");\n"),
              "Illegal attempt to coerce another type to number in plugin");
    EXPECT_EQ(failure("print Probe.Boolean(1);\n"),
              "Illegal attempt to coerce another type to boolean in plugin");
    EXPECT_EQ(failure("print Probe.Text(1);\n"),
              "Illegal attempt to coerce another type to text in plugin");
    EXPECT_EQ(failure("print Probe.Element(1, 0);\n"),
              "Illegal attempt to coerce another type to vector in plugin");
    EXPECT_EQ(failure("print Probe.Element({1}, 1);\n"), "Illegal vector index in plugin");
    EXPECT_EQ(failure("print Probe.Element({1}, -1);\n"), "Illegal vector index in plugin");
    EXPECT_EQ(runScript("print Probe.Compare(\"exact\");\nprint Probe.Compare(\"Exact\");\n").console,
              "true\nfalse\n");
}

TEST_F(ParameterBlock, NamesAndEmptyEntriesAreChecked) {
    EXPECT_EQ(failure("print Probe.UnknownName(1);\n"), "Internal named parameter error plugin");
    EXPECT_EQ(failure("print Probe.Empty();\n"), "Empty parameter in plug-in");
    EXPECT_EQ(runScript("print Probe.Empty(4);\nprint Probe.Dynamic();\nprint Probe.Dynamic(true);\n")
                  .console,
              "4\ntrue\nfalse\n");
}

TEST_F(ParameterBlock, ValuesAndVariablesAreReadTheirOwnWay) {
    RunResult r = runScript(
        "set a to {1};\n"
        "set b to Probe.Unique(a);\n"
        "print a;\nprint b;\n"
        "print Probe.IsReference(a);\n"
        "print Probe.IsReference(&a);\n"
        "set x to 1;\nset y to \"two\";\n"
        "Probe.Swap(&x, &y);\n"
        "print x;\nprint y;\n"
        "Probe.Set(&x);\n"
        "print x;\n");
    EXPECT_EQ(r.console, "1\n1\t9\nfalse\ntrue\ntwo\n1\nset\n");
    EXPECT_TRUE(r.records.empty());

    EXPECT_EQ(failure("set a to {1};\nProbe.Unique(&a);\n"), "Non r-parameter in plug-in");
    EXPECT_EQ(failure("Probe.Mutable(1);\n"), "Empty parameter in plug-in");
    EXPECT_EQ(failure("Probe.Set(1);\n"), "Non l-value parameter in plug-in");
    EXPECT_EQ(failure("Probe.Slot(1);\n"), "Non l-value parameter in plug-in");
    EXPECT_EQ(failure("Probe.Holder(1);\n"), "Non l-value parameter in plug-in");
}

// The counted holders of two variables: exchanged, a value shared with a
// third variable, a fresh value given; a read-only reference has none.
TEST_F(ParameterBlock, ReferenceHoldersKeepTheCountsRight) {
    RunResult r = runScript(
        "set x to {1, 2};\nset y to \"two\";\nset z to x;\n"
        "Probe.SwapHolders(&x, &y);\n"
        "print x;\nprint y;\nprint z;\n"
        "append 3 to y;\nprint y;\nprint z;\n"
        "Probe.SwapHolders(&x, &y, true);\n"
        "print x;\nprint y;\n");
    EXPECT_EQ(r.console, "two\n1\t2\n1\t2\n1\t2\t3\n1\t2\nfresh\ntwo\n");
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(failure("set x to 1;\nset y to 2;\nset r to reference y;\nProbe.SwapHolders(&r, &x);\n"),
              "Attempt to modify a read-only reference.");
}

} // namespace
