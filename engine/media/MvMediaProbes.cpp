// Teaches the layers below about image files when the library loads: the
// value loader reads image files and frames save as them, and a frame's
// "compression" takes the names of the types FFmpeg can write. Nothing of
// FFmpeg runs here; the table of types is made on first use.
#include "image/MvCompressionTypes.h"
#include "media/MvExportTypes.h"
#include "media/MvImageFileReader.h"
#include "media/MvImageFileWriter.h"
#include "media/MvMovieOpen.h"
#include "values/MvValueFileProbes.h"

namespace {

std::vector<MvCompressionType> availableCompressionTypes() {
    std::vector<MvCompressionType> types;
    for (const MvExportType* type : MvAvailableExportTypes())
        types.push_back({type->name, type->code});
    return types;
}

const bool kMediaProbesInstalled = [] {
    MvValueFileProbes probes;
    probes.importImage = MvImportImageFile;
    probes.exportFrame = MvExportFrame;
    probes.openMovieFile = MvOpenMovieFile;
    probes.openMovieURL = MvOpenMovieURL;
    probes.newMovie = MvNewEmptyMovie;
    MvSetValueFileProbes(probes);
    MvInstallCompressionTypes(availableCompressionTypes);
    return true;
}();

} // namespace
