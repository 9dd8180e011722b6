// The include preprocessor, a line scanner over the text.
//
// Every source line gives one line of the expanded text: an ordinary line is
// copied, a directive becomes one marker line (for an include: the start
// marker, the included lines, then the end marker on the directive's line
// end), so the scanner can map each line back to its file and line.
#include "MvPreprocessor.h"

#include "platform/MvRegularFile.h"

#include <string_view>

namespace {

// Includes nested deeper than this are refused. The include set already stops
// cycles; this bounds the recursion even over long chains of distinct names.
constexpr int kMaxIncludeDepth = 100;

// One line of the text: its contents and its line end exactly as written
// (LF, CR or CR LF).
struct SourceLine {
    std::string_view body;
    std::string_view end;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isLineEndChar(char c) { return c == '\n' || c == '\r'; }

// Reads the line that starts at position at, and moves at past its line end.
SourceLine takeLine(std::string_view text, std::size_t& at) {
    std::size_t bodyEnd = at;
    while (bodyEnd < text.size() && !isLineEndChar(text[bodyEnd]))
        ++bodyEnd;
    std::size_t lineEnd = bodyEnd;
    if (lineEnd < text.size() && text[lineEnd] == '\r')
        ++lineEnd;
    if (lineEnd < text.size() && text[lineEnd] == '\n')
        ++lineEnd;
    SourceLine line{text.substr(at, bodyEnd - at), text.substr(bodyEnd, lineEnd - bodyEnd)};
    at = lineEnd;
    return line;
}

std::size_t skipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

// What a line starting with "#" turned out to be.
struct Directive {
    bool wellFormed = false;
    std::string name;   // two single quotes in the directive stand for one
};

// Reads the quoted name that starts after the opening quote at position at.
// A line that ends before the closing quote leaves the name unterminated.
bool readQuotedName(std::string_view body, std::size_t& at, std::string& name) {
    while (at < body.size()) {
        char c = body[at++];
        if (c != '\'') {
            name += c;
        } else if (at < body.size() && body[at] == '\'') {
            name += '\'';
            ++at;
        } else {
            return true;
        }
    }
    return false;
}

// Parses directive, the part of a line from its "#": "#include", at most one
// run of blanks, a quoted name, optional blanks, and nothing else. A missing
// closing quote makes the line malformed, like a missing opening one.
Directive parseDirective(std::string_view directive) {
    Directive result;
    constexpr std::string_view keyword = "#include";
    if (directive.substr(0, keyword.size()) != keyword)
        return result;
    std::size_t at = skipBlanks(directive, keyword.size());
    if (at >= directive.size() || directive[at] != '\'')
        return result;
    ++at;
    if (!readQuotedName(directive, at, result.name))
        return result;
    result.wellFormed = skipBlanks(directive, at) == directive.size();
    return result;
}

// The whole file, bytes as they are, or the reason it cannot be read. NUL
// bytes become blanks, as in the main script, because the scanner stops at
// the first NUL. Only regular files of a bounded size are read: a folder, a
// device or a pipe named by a directive is an include error, not a hang.
MvPlatform::FileCheck readWholeFile(const std::string& name, std::string& contents) {
    MvPlatform::FileCheck read =
        MvPlatform::readRegularFile(name, MvPlatform::kScriptSizeLimit, contents);
    if (read)
        for (char& c : contents)
            if (c == '\0')
                c = ' ';
    return read;
}

class Expander {
public:
    Expander(std::set<std::string>& includeSet, int depth)
        : includeSet_(includeSet), depth_(depth) {}

    // Ordinary lines are copied in runs, up to the next directive: most
    // scripts have few directives or none. The result ends with one line end
    // more, as if the text had it (after a final CR the two make one CR LF).
    std::string expand(std::string_view text) {
        output_.reserve(text.size() + 1);
        std::size_t at = 0;
        std::size_t notCopied = 0;   // start of the ordinary lines not yet copied
        while (at < text.size()) {
            const std::size_t lineStart = at;
            const SourceLine line = takeLine(text, at);
            const std::size_t hash = skipBlanks(line.body, 0);
            if (hash >= line.body.size() || line.body[hash] != '#')
                continue;
            output_.append(text.substr(notCopied, lineStart - notCopied));
            expandDirective(line, hash);
            notCopied = at;
        }
        output_.append(text.substr(notCopied));
        output_ += '\n';
        return std::move(output_);
    }

private:
    // A line whose first non-blank character, at position hash, is "#".
    void expandDirective(const SourceLine& line, std::size_t hash) {
        output_.append(line.body.substr(0, hash));
        Directive directive = parseDirective(line.body.substr(hash));
        if (directive.wellFormed)
            include(directive.name);
        else
            output_ += "/##!Preprocessor Error";
        // The replacement ends with the directive's own line end, so one
        // source line gives one scanner line. A malformed directive gets no
        // extra line end after its error marker: that keeps the line numbers
        // of the rest of the file in step with the source.
        output_.append(line.end);
    }

    void include(const std::string& name) {
        if (!includeSet_.insert(name).second) {
            output_ += "//#include '" + name + "'";
            return;
        }
        if (depth_ >= kMaxIncludeDepth) {
            output_ += "/##!Include Error: file '" + name + "' is nested too deeply";
            return;
        }
        std::string contents;
        const MvPlatform::FileCheck read = readWholeFile(name, contents);
        if (read.problem == MvPlatform::FileProblem::Missing ||
            read.problem == MvPlatform::FileProblem::Folder) {
            output_ += "/##!Include Error: file '" + name + "'";
            return;
        }
        if (!read) {
            output_ += "/##!Include Error: file '" + name + "' " + read.reason;
            return;
        }
        output_ += "/##+" + name + "\n";
        output_ += Expander(includeSet_, depth_ + 1).expand(contents);
        output_ += "/##-";
    }

    std::set<std::string>& includeSet_;
    int depth_;
    std::string output_;
};

} // namespace

std::string MvPreprocess(const std::string& text, std::set<std::string>& includeSet) {
    return Expander(includeSet, 0).expand(text);
}
