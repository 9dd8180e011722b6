#include "MvImageMakers.h"

namespace {
MvImageMakers& installed() {
    static MvImageMakers makers;
    return makers;
}
} // namespace

void MvInstallImageMakers(const MvImageMakers& makers) { installed() = makers; }

const MvImageMakers& MvInstalledImageMakers() { return installed(); }
