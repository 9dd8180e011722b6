// Loads arbitrary bytes as a value file and puts whatever loads through the
// operations every value offers: its text form, a copy, saving and loading
// back (which must give the same text). Any crash, hang or leak is a bug;
// runtime errors are expected answers.
#include "morvane/MvShared.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

// The fuzzer runs in a scratch folder of its own (run.sh).
const char* const kInput = "input.val";
const char* const kSaved = "saved.val";

template <class F>
bool succeeds(F&& f) {
    try {
        f();
        return true;
    } catch (MvException* error) {
        delete error;
        return false;
    }
}

// A text is saved as a plain file, which loads back as a value file when it
// happens to start with the value-file marker: no round trip is expected.
bool looksLikeAValueFile(MvValueHolder& value, const std::string& text) {
    return value->GetType() == MvTypeText && text.compare(0, 4, "\xAA\xAA\xAA\xAA") == 0;
}

void exercise(MvValueHolder& value) {
    std::string text;
    const bool hasText = succeeds([&] { text = value->GetText(); });
    MvValueHolder copy(value->Clone());
    MvValueHolder asText;
    succeeds([&] { copy->Coerce(asText, MvTypeText); });
    if (!hasText || looksLikeAValueFile(value, text) ||
        !succeeds([&] { value->SaveToFile(kSaved); }))
        return;
    MvValueHolder again;
    if (!succeeds([&] { again = LoadValueFromFile(kSaved); }))
        __builtin_trap();   // what was saved must load
    std::string textAgain;
    if (succeeds([&] { textAgain = again->GetText(); }) && textAgain != text)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Keeps a forged size from making the fuzzer's own memory limit the finding.
    MvSetMemoryLimit(std::uint64_t(256) << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(kInput, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    MvValueHolder value;
    if (succeeds([&] { value = LoadValueFromFile(kInput); }) && value)
        exercise(value);
    std::remove(kSaved);
    return 0;
}
