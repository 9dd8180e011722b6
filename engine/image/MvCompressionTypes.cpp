#include "image/MvCompressionTypes.h"

#include "image/MvImageValues.h"
#include "morvane/MvException.h"

namespace {

// Constant-initialised, so a lister installed by another file's static
// initialiser is never overwritten by this one's.
MvCompressionTypeLister installedLister = nullptr;

} // namespace

void MvInstallCompressionTypes(MvCompressionTypeLister lister) { installedLister = lister; }

std::vector<MvCompressionType> MvAvailableCompressionTypes() {
    if (installedLister)
        return installedLister();
    return {{"JPEG", kMvCompressionJPEG}};
}

MvCompressionType MvLookUpCompression(const std::string& name) {
    const std::vector<MvCompressionType> types = MvAvailableCompressionTypes();
    std::string message = "Unknown frame compression type.\nAvailable types are:\n";
    for (const MvCompressionType& type : types) {
        if (name == type.name)
            return type;
        message += "    \"" + type.name + "\"\n";
    }
    MvRaise(message);
}
