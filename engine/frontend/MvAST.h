// A syntax-tree node: the token it was made from, its first child and next
// sibling (both owned), the identifier bucket of its text, the values of
// number and date literals and the text of embedded script blocks, and a
// few words of scratch memory that belong to the evaluator. Node texts are
// kept by the memory arena of the tree (MvASTArena).
#ifndef MORVANE_ENGINE_MVAST_H
#define MORVANE_ENGINE_MVAST_H

#include "morvane/MvTokens.h"
#include "morvane/MvValue.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The text of an embedded script block, kept for the statement that runs it.
class MvScript {
public:
    explicit MvScript(std::string source) : source_(std::move(source)) {}
    const std::string& source() const { return source_; }

private:
    std::string source_;
};

// The text of a node and the identifier bucket that goes with it.
struct MvASTText {
    std::string text;
    int bucket;
};

// Memory for the nodes of one syntax tree, and their texts. While a scope is
// open on a thread, the nodes made there come from the arena; they are
// destroyed one by one as usual, but their memory goes back only when the
// arena itself goes, which its owner (the session) does after the tree is
// gone. Nodes made with no scope open use the ordinary heap, and so do all
// nodes under the address sanitizer (their texts are still kept here).
//
// A script repeats the same few texts (names, keywords, small numbers) over
// and over, so the arena keeps each distinct text once and the nodes refer
// to it.
class MvASTArena {
public:
    MvASTArena();
    ~MvASTArena();
    MvASTArena(const MvASTArena&) = delete;
    MvASTArena& operator=(const MvASTArena&) = delete;

    void* allocate(std::size_t bytes);

    // The arena's one copy of text; it lives as long as the arena.
    const MvASTText& keep(std::string_view text);
    // The same for a string literal of the program (the text of a node that
    // stands for no token of the script): remembered by its address, so the
    // text is looked up once per arena rather than once per node.
    const MvASTText& keepLiteral(const char* literal);

    class Scope {
    public:
        explicit Scope(MvASTArena* arena);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        MvASTArena* previous_;
    };

    // The arena of the open scope, or null when there is none.
    static MvASTArena* current();
    // The same, except that it is always null under the address sanitizer,
    // where every node is a heap block of its own.
    static MvASTArena* currentForNodes();

private:
    static constexpr std::size_t kSlabBytes = 64 * 1024;
    std::vector<std::unique_ptr<unsigned char[]>> slabs_;
    unsigned char* next_ = nullptr;
    std::size_t left_ = 0;
    // The kept texts; a deque never moves its elements, which the index and
    // the nodes refer to.
    std::deque<MvASTText> texts_;
    // The index of texts_: open addressing with linear probing, at most half
    // full, so a search ends after a probe or two.
    struct TextSlot {
        std::uint32_t hash;
        std::uint32_t length;    // of the text, compared before its bytes
        const MvASTText* text;   // null: the slot is free
    };
    std::vector<TextSlot> textSlots_;
    const MvASTText& add(std::string_view text, std::uint32_t hash);
    void addToIndex(std::uint32_t hash, const MvASTText* text);

    // keepLiteral's memory: a literal's address and its kept text, in the
    // slot its address picks; a literal that meets another in its slot
    // takes the slot over.
    struct LiteralSlot {
        const char* literal = nullptr;
        const MvASTText* text = nullptr;
    };
    static constexpr std::size_t kLiteralSlots = 32;   // a power of two
    LiteralSlot literalSlots_[kLiteralSlots];
};

// Whether a token of this type is a number literal (whose node carries its
// value, made with the node).
inline bool MvIsNumberLiteral(int type) {
    switch (type) {
    case MV_TOK_FLOAT: case MV_TOK_EXP_NUM: case MV_TOK_INT1: case MV_TOK_INT2:
    case MV_TOK_INT4: case MV_TOK_INT_TOK:
        return true;
    default:
        return false;
    }
}

struct MvAST {
    // The text is kept in the current arena, or by the node itself when no
    // arena scope is open.
    MvAST(int tokenType, std::string_view text, int line);
    ~MvAST();   // frees children and siblings without recursion
    MvAST(const MvAST&) = delete;
    MvAST& operator=(const MvAST&) = delete;

    // From the current arena when one is open (see MvASTArena).
    static void* operator new(std::size_t size);
    static void operator delete(void* node, std::size_t size) noexcept;

    // A node whose memory and text come from the given arena, or, when it is
    // null, from the heap with a text of its own; the thread's open scope is
    // not consulted. The parser makes most nodes of a tree, one per token,
    // and knows its arena.
    static std::unique_ptr<MvAST> make(MvASTArena* arena, int tokenType, std::string_view text,
                                       int line);
    // The same, the text being a string literal of the program.
    static std::unique_ptr<MvAST> makeWithLiteral(MvASTArena* arena, int tokenType,
                                                  const char* literal, int line);

    // Bucket given to nodes made to carry a value (date literals).
    static constexpr int kValueBucket = 211;
    // The ELF hash of text modulo 211 (0 for an empty text).
    static int bucketOf(std::string_view text);

    // Appends child at the end of this node's children and returns it.
    MvAST* addChild(std::unique_ptr<MvAST> child);
    MvAST* child() const { return firstChild.get(); }
    MvAST* sibling() const { return nextSibling.get(); }
    int childCount() const;

    int tokenType;
    int line;
    int identifierBucket;

private:
    // Declared here, where it fills the space before the next member.
    bool ownsText_;   // text was made for this node alone (no arena scope was open)

public:
    // The evaluator's scratch memory: zero when the node is made, never read
    // or written by the front end; what the evaluator keeps there is its own
    // business (its MvNodeMemory.h says what). The byte fills padding.
    mutable std::int8_t evaluatorByte = 0;

    // Shared with every node of the tree that has the same text; it lives as
    // long as the arena (or as the node, made with no arena scope open).
    const std::string& text;
    std::unique_ptr<MvAST> firstChild;
    std::unique_ptr<MvAST> nextSibling;
    mv_auto_value<MvValue> dateValue;     // MV_TOK_DATETIME nodes
    // A number literal's value, made with the node. The evaluator hands it
    // out as an operand, shared: numbers change only inside result holders
    // and variables, which always get a copy of their own.
    mutable mv_auto_value<MvValue> literalValue;
    std::unique_ptr<MvScript> script;     // embedded script statements

    // The rest of the evaluator's scratch memory (see evaluatorByte).
    mutable std::uint64_t evaluatorWord = 0;
    mutable void* evaluatorPointer = nullptr;

private:
    // Where a new node's text is: in the current arena, or made for the node.
    struct KeptText {
        const std::string* text;
        int bucket;
        bool owned;
    };
    static KeptText keepText(std::string_view text);
    static KeptText keepText(MvASTArena* arena, std::string_view text);
    MvAST(int tokenType, int line, KeptText kept);

    // Memory for make: from arena (see currentForNodes for when it is not
    // used), preceded by the same header as with the operator above.
    static void* operator new(std::size_t size, MvASTArena* arena);
    static void operator delete(void* node, MvASTArena* arena) noexcept;
};

#endif
