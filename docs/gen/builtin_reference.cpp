// Writes the reference of the built-in native functions as Markdown, from the
// signature texts of the engine's own registry, so the reference cannot drift
// from the library it describes.
//
//     morvane-builtin-reference OUTPUT.md
//
// Only the built-in namespaces are registered: no plug-in is loaded.
#include "morvane/MvHost.h"
#include "morvane/MvPluginApi.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// One text value used as the out argument of the registry's listings.
class TextOut {
public:
    TextOut() : value_(MvTextCreate("")) {}
    ~TextOut() { MvTextDelete(value_); }
    TextOut(const TextOut&) = delete;
    TextOut& operator=(const TextOut&) = delete;
    MvTextValue* text() { return MvValueAsText(value_); }
    std::string str() {
        const char* bytes = MvTextGetTextPtr(text());
        return bytes ? bytes : "";
    }

private:
    MvValue* value_;
};

std::vector<std::string> nameSpaces() {
    std::vector<std::string> names;
    TextOut out;
    for (std::int32_t i = 0; MvPluginRegistryGetNameSpace(i, out.text()); ++i)
        names.push_back(out.str());
    return names;
}

std::vector<std::string> functionsOf(const std::string& nameSpace) {
    std::vector<std::string> names;
    TextOut out;
    for (std::int32_t i = 0; MvPluginRegistryGetFunctionName(nameSpace.c_str(), i, out.text()); ++i)
        names.push_back(out.str());
    return names;
}

// A signature text is "/*", its description, "*/" and the declaration, each
// on lines of their own; overloads follow one another.
struct Signature {
    std::string description;
    std::string declaration;
};

std::vector<Signature> signaturesOf(const std::string& nameSpace, const std::string& function) {
    TextOut out;
    MvPluginRegistryGetSignature(nameSpace.c_str(), function.c_str(), out.text());
    const std::string text = out.str();
    std::vector<Signature> signatures;
    std::size_t at = text.find("/*\n");
    while (at != std::string::npos) {
        const std::size_t close = text.find("\n*/\n", at);
        if (close == std::string::npos)
            break;
        const std::size_t next = text.find("\n/*\n", close);
        Signature signature;
        signature.description = text.substr(at + 3, close - at - 3);
        const std::size_t body = close + 4;
        signature.declaration = text.substr(body, next == std::string::npos ? std::string::npos
                                                                            : next - body);
        while (!signature.declaration.empty() && signature.declaration.back() == '\n')
            signature.declaration.pop_back();
        signatures.push_back(signature);
        at = next == std::string::npos ? next : next + 1;
    }
    return signatures;
}

// GitHub's and pandoc's anchor of a heading made of a plain word.
std::string anchorOf(const std::string& heading) {
    std::string anchor;
    for (char c : heading)
        anchor += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return anchor;
}

void writeNameSpace(std::ofstream& out, const std::string& nameSpace) {
    out << "\n## " << nameSpace << "\n";
    for (const std::string& function : functionsOf(nameSpace)) {
        out << "\n### " << nameSpace << "." << function << "\n";
        for (const Signature& signature : signaturesOf(nameSpace, function)) {
            out << "\n" << signature.description << "\n\n```text\n"
                << signature.declaration << "\n```\n";
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: morvane-builtin-reference OUTPUT.md\n", stderr);
        return 2;
    }
    MvPluginRegistryInitInternal();
    const std::vector<std::string> spaces = nameSpaces();
    std::ofstream out(argv[1], std::ios::binary);
    out << "# Built-in functions\n\n"
        << "The native functions of Morvane " << MvGetVersionString()
        << ", generated from the engine's own signatures when it was built.\n"
        << "Each is called as `Namespace.Name(arguments)`; see\n"
        << "[the plug-in guide](plugins.md#signatures) for how to read a signature.\n\n";
    for (std::size_t i = 0; i < spaces.size(); ++i)
        out << (i ? " · " : "") << "[" << spaces[i] << "](#" << anchorOf(spaces[i]) << ")";
    out << "\n";
    for (const std::string& nameSpace : spaces)
        writeNameSpace(out, nameSpace);
    MvDeletePluginRegistry();
    out.close();
    if (!out) {
        std::fprintf(stderr, "morvane-builtin-reference: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
