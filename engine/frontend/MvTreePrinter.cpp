#include "MvTreePrinter.h"

#include "morvane/MvDateTime.h"
#include "morvane/MvTokens.h"

#include <cstdio>
#include <vector>

namespace {

const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// datetime(DD:MMM:YYYY:HH:MM:SS) from the date the node carries.
void appendDate(std::string& out, const MvAST* node) {
    out += "datetime(";
    MvDateTime* date = node->dateValue ? node->dateValue->GetDate() : nullptr;
    if (date && date->fields) {
        const std::tm& f = *date->fields;
        char buffer[64];
        const char* month = f.tm_mon >= 0 && f.tm_mon < 12 ? kMonths[f.tm_mon] : "???";
        std::snprintf(buffer, sizeof buffer, "%02d:%s:%04d:%02d:%02d:%02d", f.tm_mday, month,
                      f.tm_year + 1900, f.tm_hour, f.tm_min, f.tm_sec);
        out += buffer;
    }
    out += ')';
}

void appendLabel(std::string& out, const MvAST* node) {
    if (node->tokenType == MV_TOK_DATETIME)
        appendDate(out, node);
    else
        out += node->text;
}

// Opens a node: a leaf is complete at once, a node with children stays open
// until its last child has been written.
void openNode(std::string& out, const MvAST* node, std::vector<const MvAST*>& open) {
    if (!node->child()) {
        appendLabel(out, node);
        return;
    }
    out += "#(";
    appendLabel(out, node);
    open.push_back(node->child());
}

} // namespace

std::string MvTreeToText(const MvAST* tree) {
    std::string out;
    // Each entry is the next child to write at that depth; null closes the
    // node that owns the children.
    std::vector<const MvAST*> open;
    for (const MvAST* top = tree; top; top = top->sibling()) {
        if (top != tree)
            out += ' ';
        openNode(out, top, open);
        while (!open.empty()) {
            const MvAST* next = open.back();
            if (!next) {
                open.pop_back();
                out += ')';
                continue;
            }
            open.back() = next->sibling();
            out += ' ';
            openNode(out, next, open);
        }
    }
    return out;
}
