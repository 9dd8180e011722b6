// A syntax-tree node: the token it was made from, its first child and next
// sibling (both owned), the identifier bucket of its text and the values
// the parser attaches to date literals and embedded script blocks.
#ifndef MORVANE_ENGINE_MVAST_H
#define MORVANE_ENGINE_MVAST_H

#include "morvane/MvValue.h"

#include <memory>
#include <string>

// The text of an embedded script block, kept for the statement that runs it.
class MvScript {
public:
    explicit MvScript(std::string source) : source_(std::move(source)) {}
    const std::string& source() const { return source_; }

private:
    std::string source_;
};

struct MvAST {
    MvAST(int tokenType, std::string text, int line);
    ~MvAST();   // frees children and siblings without recursion
    MvAST(const MvAST&) = delete;
    MvAST& operator=(const MvAST&) = delete;

    // Bucket given to nodes made to carry a value (date literals).
    static constexpr int kValueBucket = 211;
    // The ELF hash of text modulo 211 (0 for an empty text).
    static int bucketOf(const std::string& text);

    // Appends child at the end of this node's children and returns it.
    MvAST* addChild(std::unique_ptr<MvAST> child);
    MvAST* child() const { return firstChild.get(); }
    MvAST* sibling() const { return nextSibling.get(); }
    int childCount() const;

    int tokenType;
    int line;
    std::string text;
    int identifierBucket;
    std::unique_ptr<MvAST> firstChild;
    std::unique_ptr<MvAST> nextSibling;
    mv_auto_value<MvValue> dateValue;     // MV_TOK_DATETIME nodes
    // A number literal's value, made the first time the literal is
    // evaluated and shared from then on: numbers change only inside result
    // holders and variables, which always get a copy of their own.
    mutable mv_auto_value<MvValue> literalValue;
    std::unique_ptr<MvScript> script;     // embedded script statements
};

#endif
