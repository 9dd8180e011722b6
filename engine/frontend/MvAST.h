// A syntax-tree node: the token it was made from, its first child and next
// sibling (both owned), the identifier bucket of its text and the values
// the parser attaches to date literals and embedded script blocks.
#ifndef MORVANE_ENGINE_MVAST_H
#define MORVANE_ENGINE_MVAST_H

#include "morvane/MvValue.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MvValueContainer;

// The text of an embedded script block, kept for the statement that runs it.
class MvScript {
public:
    explicit MvScript(std::string source) : source_(std::move(source)) {}
    const std::string& source() const { return source_; }

private:
    std::string source_;
};

// Memory for the nodes of one syntax tree. While a scope is open on a
// thread, the nodes made there come from the arena; they are destroyed one by
// one as usual, but their memory goes back only when the arena itself goes,
// which its owner (the session) does after the tree is gone. Nodes made with
// no scope open use the ordinary heap.
class MvASTArena {
public:
    MvASTArena() = default;
    ~MvASTArena();
    MvASTArena(const MvASTArena&) = delete;
    MvASTArena& operator=(const MvASTArena&) = delete;

    void* allocate(std::size_t bytes);

    class Scope {
    public:
        explicit Scope(MvASTArena* arena);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        MvASTArena* previous_;
    };

    static MvASTArena* current();

private:
    static constexpr std::size_t kSlabBytes = 64 * 1024;
    std::vector<std::unique_ptr<unsigned char[]>> slabs_;
    unsigned char* next_ = nullptr;
    std::size_t left_ = 0;
};

struct MvAST {
    MvAST(int tokenType, std::string text, int line);
    ~MvAST();   // frees children and siblings without recursion
    MvAST(const MvAST&) = delete;
    MvAST& operator=(const MvAST&) = delete;

    // From the current arena when one is open (see MvASTArena).
    static void* operator new(std::size_t size);
    static void operator delete(void* node, std::size_t size) noexcept;

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

    // Kept by the evaluator, which alone reads and writes them. An
    // identifier remembers the variable it last named and the state of the
    // table it was found in (see MvVariableTable::epoch); an expression
    // remembers whether it is made of numbers only (0 not known yet, -1 no,
    // otherwise its height).
    mutable std::uint64_t variableEpoch = 0;
    mutable MvValueContainer* variable = nullptr;
    mutable std::int8_t numberShape = 0;
};

#endif
