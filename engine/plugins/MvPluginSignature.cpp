#include "MvPluginSignature.h"

#include "MvPluginRegistry.h"

#include <sstream>

MvPluginSignature::MvPluginSignature(std::uint32_t parameterCount, MvType resultType,
                                     std::unique_ptr<MvFunctionContainer> function)
    : parameterCount_(parameterCount),
      resultType_(resultType),
      resultTakesNumber_(resultType.contains(MvTypeNumber)),
      function_(std::move(function)) {
    parameters_.reserve(parameterCount);
}

bool MvPluginSignature::addParameter(MvPluginParameter parameter) {
    if (parameters_.size() >= parameterCount_)
        return false;
    parameters_.push_back(std::move(parameter));
    return true;
}

namespace {

// Parameter names are short: compared in place, byte by byte.
bool sameName(const std::string& declared, const char* name) {
    const char* d = declared.c_str();
    while (*d && *d == *name) {
        ++d;
        ++name;
    }
    return *d == *name;
}

} // namespace

int MvPluginSignature::indexOf(const char* name) const {
    for (std::size_t i = 0; i < parameters_.size(); ++i)
        if (sameName(parameters_[i].name, name))
            return static_cast<int>(i);
    return -1;
}

namespace {

// A default as listings show it: a vector in braces, a text in double
// quotes, anything else as its text.
std::string defaultText(MvValue* value) {
    switch (value->GetType()) {
    case MvTypeVector:
        return "{" + value->GetText() + "}";
    case MvTypeText:
        return "\"" + value->GetText() + "\"";
    default:
        return value->GetText();
    }
}

} // namespace

// The comment block with the description, then the call form: on one line
// for up to one parameter, else one parameter per line.
std::string MvPluginSignature::text(const std::string& nameSpace, const std::string& name) const {
    std::ostringstream out;
    out << "\n/*\n" << description_ << "\n*/\n";
    if (nameSpace != MvInternalNameSpace)
        out << nameSpace << '.';
    out << name << '(';
    const std::size_t n = parameters_.size();
    if (n == 0)
        out << ')';
    else if (n > 1)
        out << '\n';
    for (std::size_t i = 0; i < n; ++i) {
        const MvPluginParameter& p = parameters_[i];
        if (n > 1)
            out << "        ";
        if (p.isConst)
            out << "const ";
        out << p.type;
        if (p.isReference)
            out << '&';
        out << ' ' << (p.name.empty() ? "<unnamed>" : p.name);
        if (!p.required) {
            out << " -> ";
            if (p.dynamic)
                out << "<dynamic>";
            else if (p.defaultValue)
                out << defaultText(p.defaultValue.get());
            else
                out << "Error: Parameter is not required, not dynamic and has NO DEFAULT!";
        }
        out << (i + 1 < n ? "," : ")");
        if (n > 1)
            out << '\n';
    }
    out << (n > 1 ? "    " : " ") << "returns " << resultType_ << '\n';
    return out.str();
}
