#include "MvAST.h"

#include <vector>

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
