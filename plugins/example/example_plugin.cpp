// A sample plug-in: the Example namespace.
//
//   Example.Increment(&number value, number amount -> 1)
//       adds amount to the caller's variable.
//   Example.Scale(number x, number factor -> <dynamic>)
//       x times factor; without a factor the function picks 2.
//   Example.Fail(text message, number code -> <dynamic>, text url -> <dynamic>)
//       fails with the message (and the code and URL when given).
//   Example.Words(text <unnamed>)
//       the blank-separated words of a text, as a list.
//   Example.AppendOne(&vector values)
//       appends 1 to the caller's vector in place.
//   Example.Liar()
//       declares a number result but returns a text.
#include "morvane/MvPlugin.h"

#include <sstream>
#include <string>

namespace {

MvValue* increment(MvPluginErrorBlock*, MvParameterBlock* params) {
    double value = MvParameterBlockGetNumberValue(params, "value");
    double amount = MvParameterBlockGetNumberValue(params, "amount");
    MvParameterBlockSetValue(params, "value", MvNumberCreate(value + amount));
    return nullptr;
}

MvValue* scale(MvPluginErrorBlock*, MvParameterBlock* params) {
    double factor = MvParameterBlockIsDynamicGenerationRequired(params, "factor")
                        ? 2.0
                        : MvParameterBlockGetNumberValue(params, "factor");
    return MvNumberCreate(MvParameterBlockGetNumberValue(params, "x") * factor);
}

MvValue* fail(MvPluginErrorBlock* error, MvParameterBlock* params) {
    if (!MvParameterBlockIsDynamicGenerationRequired(params, "code"))
        MvPluginErrorBlockSetNumber(
            error, static_cast<std::int32_t>(MvParameterBlockGetNumberValue(params, "code")));
    MvPluginErrorBlockSetMessage(error, MvParameterBlockGetTextValue(params, "message"));
    if (!MvParameterBlockIsDynamicGenerationRequired(params, "url"))
        MvPluginErrorBlockSetURL(error, MvParameterBlockGetTextValue(params, "url"));
    return MvNumberCreate(0);   // dropped: the call fails
}

// An unnamed parameter is read by its empty name.
MvValue* words(MvPluginErrorBlock*, MvParameterBlock* params) {
    std::istringstream in(MvParameterBlockGetTextValue(params, ""));
    MvValue* list = MvListCreate();
    std::string word;
    while (in >> word)
        MvListAppend(MvValueAsList(list), MvTextCreate(word.c_str()));
    return list;
}

MvValue* appendOne(MvPluginErrorBlock*, MvParameterBlock* params) {
    MvVectorValue* values = MvValueAsVector(MvParameterBlockGetValueMutable(params, "values"));
    MvVectorAppend(values, 1);
    MvParameterBlockNotifyChange(params, "values");
    return nullptr;
}

MvValue* liar(MvPluginErrorBlock*, MvParameterBlock*) { return MvTextCreate("not a number"); }

} // namespace

MV_PLUGIN_ENTRY_POINT {
    MvPluginSignature* s = MvPluginSignatureCreate(2, MvType(), &increment);
    MvPluginSignatureSetParam(s, MvTypeNumber, "value", MvParamRequired, MvArgumentByReference);
    MvPluginSignatureSetParam(s, MvTypeNumber, "amount", MvNumberCreate(1), MvArgumentNotConsumed);
    MvPluginSignatureCommit(s, "Example", "Increment", "Add amount to the variable value.");

    s = MvPluginSignatureCreate(2, MvTypeNumber, &scale);
    MvPluginSignatureSetParam(s, MvTypeNumber, "x", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "factor", MvParamDynamic, MvArgumentNotConsumed);
    MvPluginSignatureCommit(s, "Example", "Scale", "Multiply x by factor (2 when not given).");

    s = MvPluginSignatureCreate(3, MvType(), &fail);
    MvPluginSignatureSetParam(s, MvTypeText, "message", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "code", MvParamDynamic, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeText, "url", MvParamDynamic, MvArgumentNotConsumed);
    MvPluginSignatureCommit(s, "Example", "Fail", "Fail with message, code and url.");

    s = MvPluginSignatureCreate(1, MvTypeList, &words);
    MvPluginSignatureSetParam(s, MvTypeText, MvParamUnnamed, MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureCommit(s, "Example", "Words", "The words of a text.");

    s = MvPluginSignatureCreate(1, MvType(), &appendOne);
    MvPluginSignatureSetParam(s, MvTypeVector, "values", MvParamRequired, MvArgumentByReference);
    MvPluginSignatureCommit(s, "Example", "AppendOne", "Append 1 to the vector.");

    s = MvPluginSignatureCreate(0, MvTypeNumber, &liar);
    MvPluginSignatureCommit(s, "Example", "Liar", "Return a text where a number is declared.");
}
