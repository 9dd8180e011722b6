// Feeds arbitrary bytes to a session: creation (with include expansion),
// the colouring pass and the syntax check. Any crash, hang or leak is a bug.
#include "morvane/MvParser.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    // A positive length takes the bytes as they are (inner NULs become
    // blanks); length 0 stops at the first NUL. Exercise both.
    long length = (size % 2 == 0) ? static_cast<long>(size) : 0;
    MvParser* session = MvParserCreate(text.c_str(), length, nullptr);
    if (!session)
        return 0;
    MvParserLexicalPassOnly(session);
    MvParserCheckSyntax(session);
    MvParserCheckSyntax(session);
    int count = MvParserGetParseErrorCount(session);
    Mv_stringstream sink;
    for (int i = 0; i < count; ++i)
        MvParseErrorWriteToStream(MvParserGetParseError(session, i), &sink);
    MvParserReleaseParseErrors(session);
    MvParserDelete(session);
    return 0;
}
