// Fixed-width little-endian fields of value-file bodies, independent of the
// byte order of the machine.
#ifndef MORVANE_ENGINE_MVLITTLEENDIAN_H
#define MORVANE_ENGINE_MVLITTLEENDIAN_H

#include <cstdint>
#include <cstring>
#include <istream>
#include <ostream>

namespace MvLittleEndian {

inline void writeU32(std::ostream& out, std::uint32_t v) {
    const char bytes[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                           char((v >> 24) & 0xFF)};
    out.write(bytes, 4);
}

inline void writeI32(std::ostream& out, std::int32_t v) {
    writeU32(out, static_cast<std::uint32_t>(v));
}

inline void writeDouble(std::ostream& out, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = char((bits >> (8 * i)) & 0xFF);
    out.write(bytes, 8);
}

// The readers return false, leaving v unchanged, when the stream runs out.
inline bool readU32(std::istream& in, std::uint32_t& v) {
    unsigned char bytes[4];
    if (!in.read(reinterpret_cast<char*>(bytes), 4))
        return false;
    v = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
        std::uint32_t(bytes[3]) << 24;
    return true;
}

inline bool readI32(std::istream& in, std::int32_t& v) {
    std::uint32_t bits;
    if (!readU32(in, bits))
        return false;
    v = static_cast<std::int32_t>(bits);
    return true;
}

inline bool readDouble(std::istream& in, double& v) {
    unsigned char bytes[8];
    if (!in.read(reinterpret_cast<char*>(bytes), 8))
        return false;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | bytes[i];
    std::memcpy(&v, &bits, sizeof v);
    return true;
}

} // namespace MvLittleEndian

#endif
