// The value-file body of a list: a 32-bit count, then each element's type
// and body. Nested lists are written and read with an explicit stack of the
// lists entered, up to kMvMaxNesting of them.
#include "MvListValue.h"

#include "MvLittleEndian.h"
#include "MvNesting.h"
#include "MvValueBodies.h"
#include "morvane/MvException.h"

#include <memory>

namespace {

[[noreturn]] void raiseReadFailure() { throw new MvFileException("Reading list data failed."); }

[[noreturn]] void raiseReadTooDeep() {
    throw new MvFileException("Reading list data failed: lists nested too deeply.");
}

struct Level {
    MvListValue* list;
    std::uint32_t remaining;
};

std::uint32_t readCount(std::istream& in) {
    std::uint32_t count;
    if (!MvLittleEndian::readU32(in, count))
        raiseReadFailure();
    return count;
}

} // namespace

void MvListValue::Write(std::ostream& out) {
    struct WriteLevel {
        MvListValue* list;
        std::size_t next;
    };
    std::vector<WriteLevel> levels{{this, 0}};
    MvLittleEndian::writeU32(out, static_cast<std::uint32_t>(elements.size()));
    while (!levels.empty()) {
        WriteLevel& level = levels.back();
        if (level.next == level.list->elements.size()) {
            levels.pop_back();
            continue;
        }
        MvValue* element = level.list->elements[level.next++].get();
        MvLittleEndian::writeU32(out, static_cast<std::uint32_t>(element->GetType()));
        if (MvListValue* inner = asList(element)) {
            if (levels.size() >= kMvMaxNesting)
                MvRaiseNestedTooDeeply();
            MvLittleEndian::writeU32(out, static_cast<std::uint32_t>(inner->elements.size()));
            levels.push_back({inner, 0});
            continue;
        }
        element->Write(out);
    }
}

// The count is not trusted for reserving memory: a truncated or forged body
// runs out of bytes long before a large count is reached. The lists being
// filled are held by the root (or by their parents) from the start, so an
// error frees everything read so far.
MvListValue* MvListValue::read(std::istream& in) {
    std::unique_ptr<MvListValue> root(new MvListValue());
    std::vector<Level> levels{{root.get(), readCount(in)}};
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.remaining == 0) {
            levels.pop_back();
            continue;
        }
        --level.remaining;
        MvListValue* parent = level.list;
        std::uint32_t type;
        if (!MvLittleEndian::readU32(in, type))
            raiseReadFailure();
        if (type == MvTypeList) {
            if (levels.size() >= kMvMaxNesting)
                raiseReadTooDeep();
            MvListValue* inner = new MvListValue();
            parent->pushBack(MvValueHolder(inner));
            levels.push_back({inner, readCount(in)});
            continue;
        }
        MvValue* element = MvReadFlatBody(type, in);
        if (!element)
            raiseReadFailure();
        parent->pushBack(MvValueHolder(element));
    }
    return root.release();
}
