#include "MvAST.h"

#include <cstddef>
#include <new>
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

// Each node is preceded by the arena it came from (null for the heap).
constexpr std::size_t kNodeHeader = alignof(std::max_align_t);

MvASTArena*& currentArena() {
    static thread_local MvASTArena* arena = nullptr;
    return arena;
}

} // namespace

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

MvASTArena* MvASTArena::current() { return MV_AST_ARENA ? currentArena() : nullptr; }

void* MvAST::operator new(std::size_t size) {
    MvASTArena* arena = MvASTArena::current();
    void* block = arena ? arena->allocate(size + kNodeHeader) : ::operator new(size + kNodeHeader);
    *static_cast<MvASTArena**>(block) = arena;
    return static_cast<unsigned char*>(block) + kNodeHeader;
}

void MvAST::operator delete(void* node, std::size_t) noexcept {
    if (!node)
        return;
    void* block = static_cast<unsigned char*>(node) - kNodeHeader;
    if (!*static_cast<MvASTArena**>(block))
        ::operator delete(block);
}

MvAST::MvAST(int type, std::string tokenText, int tokenLine)
    : tokenType(type), line(tokenLine), text(std::move(tokenText)),
      identifierBucket(bucketOf(text)) {}

// A long script is a long chain of siblings; freeing it recursively could
// exhaust the stack, so the nodes are taken apart with an explicit list.
MvAST::~MvAST() {
    if (!firstChild && !nextSibling)
        return;
    std::vector<std::unique_ptr<MvAST>> pending;
    if (firstChild)
        pending.push_back(std::move(firstChild));
    if (nextSibling)
        pending.push_back(std::move(nextSibling));
    while (!pending.empty()) {
        std::unique_ptr<MvAST> node = std::move(pending.back());
        pending.pop_back();
        if (node->firstChild)
            pending.push_back(std::move(node->firstChild));
        if (node->nextSibling)
            pending.push_back(std::move(node->nextSibling));
    }
}

int MvAST::bucketOf(const std::string& text) {
    std::uint32_t h = 0;
    for (char c : text) {
        h = (h << 4) + static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
        std::uint32_t top = h & 0xF0000000u;
        if (top != 0) {
            h ^= top >> 24;
            h ^= top;
        }
    }
    return static_cast<int>(h % 211);
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
