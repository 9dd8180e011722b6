#include "MvAST.h"

#include "morvane/MvScalarApi.h"
#include "morvane/MvTokens.h"

#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

// With the address sanitizer every node is a heap block of its own, so that
// a use after free is caught.
#if defined(__SANITIZE_ADDRESS__)
#define MV_AST_ARENA 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MV_AST_ARENA 0
#endif
#endif
#ifndef MV_AST_ARENA
#define MV_AST_ARENA 1
#endif

namespace {

// Each node is preceded by the arena it came from (null for the heap). The
// header is no bigger than it must be to keep the node aligned: a long
// script has hundreds of thousands of nodes.
constexpr std::size_t kNodeHeader =
    alignof(MvAST) > sizeof(MvASTArena*) ? alignof(MvAST) : sizeof(MvASTArena*);
static_assert(kNodeHeader % alignof(MvAST) == 0, "the node after the header is aligned");
static_assert(kNodeHeader % alignof(MvASTArena*) == 0, "the header is aligned");

MvASTArena*& currentArena() {
    static thread_local MvASTArena* arena = nullptr;
    return arena;
}

constexpr std::uint32_t kIdentifierBuckets = 211;

std::uint32_t elfHash(std::string_view text) {
    std::uint32_t h = 0;
    for (char c : text) {
        h = (h << 4) + static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
        std::uint32_t top = h & 0xF0000000u;
        if (top != 0) {
            h ^= top >> 24;
            h ^= top;
        }
    }
    return h;
}

// The hash the text index is searched with (FNV-1a): cheaper per character
// than the ELF hash, which is worked out only for a text met the first time.
std::uint32_t indexHash(std::string_view text) {
    std::uint32_t h = 2166136261u;
    for (char c : text)
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

// Most texts are a few characters long: a loop compares them faster than a
// call to memcmp.
bool sameBytes(const char* a, const char* b, std::size_t length) {
    if (length > 16)
        return std::memcmp(a, b, length) == 0;
    for (std::size_t i = 0; i < length; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

constexpr std::size_t kFirstIndexSize = 256;   // a power of two

// The first slot to try for a hash. The hash is spread over the index:
// ELF hashes of short texts differ only in their low bits.
std::size_t indexSlot(std::uint32_t hash, std::size_t mask) {
    return static_cast<std::size_t>((hash * 0x9E3779B1u) >> 8) & mask;
}

} // namespace

MvASTArena::MvASTArena() : textSlots_(kFirstIndexSize, TextSlot{0, 0, nullptr}) {}
MvASTArena::~MvASTArena() = default;

void* MvASTArena::allocate(std::size_t bytes) {
    bytes = (bytes + kNodeHeader - 1) / kNodeHeader * kNodeHeader;
    if (bytes > left_) {
        std::size_t slab = bytes > kSlabBytes ? bytes : kSlabBytes;
        slabs_.push_back(std::unique_ptr<unsigned char[]>(new unsigned char[slab]));
        next_ = slabs_.back().get();
        left_ = slab;
    }
    void* block = next_;
    next_ += bytes;
    left_ -= bytes;
    return block;
}

MvASTArena::Scope::Scope(MvASTArena* arena) : previous_(currentArena()) {
    currentArena() = arena;
}

MvASTArena::Scope::~Scope() { currentArena() = previous_; }

const MvASTText& MvASTArena::keep(std::string_view text) {
    const std::uint32_t hash = indexHash(text);
    const std::size_t mask = textSlots_.size() - 1;
    for (std::size_t i = indexSlot(hash, mask); textSlots_[i].text; i = (i + 1) & mask) {
        const TextSlot& slot = textSlots_[i];
        if (slot.hash == hash && slot.length == text.size() &&
            sameBytes(slot.text->text.data(), text.data(), text.size()))
            return *slot.text;
    }
    return add(text, hash);
}

const MvASTText& MvASTArena::add(std::string_view text, std::uint32_t hash) {
    texts_.push_back({std::string(text), static_cast<int>(elfHash(text) % kIdentifierBuckets)});
    const MvASTText* kept = &texts_.back();
    if (2 * texts_.size() > textSlots_.size()) {
        // The index doubles; every text moves to its slot in the new one.
        std::vector<TextSlot> old(2 * textSlots_.size(), TextSlot{0, 0, nullptr});
        old.swap(textSlots_);
        for (const TextSlot& slot : old)
            if (slot.text)
                addToIndex(slot.hash, slot.text);
    }
    addToIndex(hash, kept);
    return *kept;
}

const MvASTText& MvASTArena::keepLiteral(const char* literal) {
    const auto address = reinterpret_cast<std::uintptr_t>(literal);
    LiteralSlot& slot = literalSlots_[(address ^ (address >> 7)) & (kLiteralSlots - 1)];
    if (slot.literal != literal) {
        slot.text = &keep(literal);
        slot.literal = literal;
    }
    return *slot.text;
}

void MvASTArena::addToIndex(std::uint32_t hash, const MvASTText* text) {
    const std::size_t mask = textSlots_.size() - 1;
    std::size_t i = indexSlot(hash, mask);
    while (textSlots_[i].text)
        i = (i + 1) & mask;
    textSlots_[i] = TextSlot{hash, static_cast<std::uint32_t>(text->text.size()), text};
}

MvASTArena* MvASTArena::current() { return currentArena(); }

MvASTArena* MvASTArena::currentForNodes() { return MV_AST_ARENA ? currentArena() : nullptr; }

void* MvAST::operator new(std::size_t size) {
    MvASTArena* arena = MvASTArena::currentForNodes();
    void* block = arena ? arena->allocate(size + kNodeHeader) : ::operator new(size + kNodeHeader);
    *static_cast<MvASTArena**>(block) = arena;
    return static_cast<unsigned char*>(block) + kNodeHeader;
}

void* MvAST::operator new(std::size_t size, MvASTArena* arena) {
    if (!MV_AST_ARENA)
        arena = nullptr;
    void* block = arena ? arena->allocate(size + kNodeHeader) : ::operator new(size + kNodeHeader);
    *static_cast<MvASTArena**>(block) = arena;
    return static_cast<unsigned char*>(block) + kNodeHeader;
}

// Only called when a constructor throws; the arena keeps its memory.
void MvAST::operator delete(void* node, MvASTArena*) noexcept {
    operator delete(node, sizeof(MvAST));
}

std::unique_ptr<MvAST> MvAST::make(MvASTArena* arena, int type, std::string_view text, int line) {
    return std::unique_ptr<MvAST>(new (arena) MvAST(type, line, keepText(arena, text)));
}

std::unique_ptr<MvAST> MvAST::makeWithLiteral(MvASTArena* arena, int type, const char* literal,
                                              int line) {
    if (!arena)
        return make(nullptr, type, literal, line);
    const MvASTText& kept = arena->keepLiteral(literal);
    return std::unique_ptr<MvAST>(new (arena) MvAST(type, line, {&kept.text, kept.bucket, false}));
}

void MvAST::operator delete(void* node, std::size_t) noexcept {
    if (!node)
        return;
    void* block = static_cast<unsigned char*>(node) - kNodeHeader;
    if (!*static_cast<MvASTArena**>(block))
        ::operator delete(block);
}

MvAST::MvAST(int type, std::string_view tokenText, int tokenLine)
    : MvAST(type, tokenLine, keepText(tokenText)) {}

MvAST::MvAST(int type, int tokenLine, KeptText kept)
    : tokenType(type), line(tokenLine), identifierBucket(kept.bucket), ownsText_(kept.owned),
      text(*kept.text) {
    if (MvIsNumberLiteral(type))
        literalValue = MvNumberCreate(std::atof(text.c_str()));
}

MvAST::KeptText MvAST::keepText(std::string_view text) {
    return keepText(MvASTArena::current(), text);
}

MvAST::KeptText MvAST::keepText(MvASTArena* arena, std::string_view text) {
    if (arena) {
        const MvASTText& kept = arena->keep(text);
        return {&kept.text, kept.bucket, false};
    }
    return {new std::string(text), bucketOf(text), true};
}

// A long script is a long chain of siblings; freeing it recursively could
// exhaust the stack, so the nodes are taken apart with an explicit list.
// They are visited children first, then siblings: that is roughly the order
// in which the parser made them, so the walk goes forward through memory
// instead of jumping about it (a large tree is far bigger than the caches).
MvAST::~MvAST() {
    if (ownsText_)
        delete &text;
    if (!firstChild && !nextSibling)
        return;
    std::vector<std::unique_ptr<MvAST>> pending;
    auto detachLinks = [&pending](MvAST& node) {
        if (node.nextSibling)
            pending.push_back(std::move(node.nextSibling));
        if (node.firstChild)
            pending.push_back(std::move(node.firstChild));
    };
    detachLinks(*this);
    while (!pending.empty()) {
        std::unique_ptr<MvAST> node = std::move(pending.back());
        pending.pop_back();
        detachLinks(*node);
    }
}

int MvAST::bucketOf(std::string_view text) {
    return static_cast<int>(elfHash(text) % kIdentifierBuckets);
}

MvAST* MvAST::addChild(std::unique_ptr<MvAST> node) {
    MvAST* added = node.get();
    if (!firstChild) {
        firstChild = std::move(node);
        return added;
    }
    MvAST* last = firstChild.get();
    while (last->nextSibling)
        last = last->nextSibling.get();
    last->nextSibling = std::move(node);
    return added;
}

int MvAST::childCount() const {
    int count = 0;
    for (MvAST* c = child(); c; c = c->sibling())
        ++count;
    return count;
}
