// The names a frame's "compression" may take, and the four-character code
// each stands for. The media layer, which knows the installed encoders,
// installs the list when the library loads; without it "JPEG" is the only
// name.
#ifndef MORVANE_ENGINE_MVCOMPRESSIONTYPES_H
#define MORVANE_ENGINE_MVCOMPRESSIONTYPES_H

#include <cstdint>
#include <string>
#include <vector>

struct MvCompressionType {
    std::string name;
    std::uint32_t code;
};

// Gives the export types in the order the lookup lists them.
typedef std::vector<MvCompressionType> (*MvCompressionTypeLister)();

void MvInstallCompressionTypes(MvCompressionTypeLister lister);

// The available export types, in list order.
std::vector<MvCompressionType> MvAvailableCompressionTypes();

// The type named exactly (case-sensitive) name; otherwise raises
// "Unknown frame compression type." with every available name on a line
// of its own.
MvCompressionType MvLookUpCompression(const std::string& name);

#endif
