// Times reading and writing image files for imagefile_vs_opencv.sh, through
// the library's public interface: the PNG given on the command line is read
// and written as PNG and as JPEG, and the JPEG given is read. Prints one line per
// operation: its name and the median of the run times in milliseconds of
// processor time (user and system, so page faults count), which a loaded
// machine does not inflate as it does wall time.
//
// Usage: morvane_imagefile_timer picture.png picture.jpg folder png-quality jpeg-quality
#include "morvane/MvImageApi.h"
#include "morvane/MvScalarApi.h"
#include "morvane/MvShared.h"
#include "morvane/MvValueFile.h"

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double processMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec * 1e-6;
}

template <class F>
double medianMilliseconds(F run) {
    run();   // warm the caches and the codec tables
    std::vector<double> times;
    for (int i = 0; i < 15; ++i) {
        const double start = processMilliseconds();
        run();
        times.push_back(processMilliseconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void setProperty(MvValue* value, const char* name, MvValue* newValue) {
    MvValueHolder held(newValue);
    value->SetProperty(value->GetPropertyId(name), held.get());
}

MvValueHolder loaded(const std::string& path) {
    return MvValueHolder(LoadValueFromFile(path.c_str()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s picture.png picture.jpg folder png-quality jpeg-quality\n",
                     argv[0]);
        return 2;
    }
    const std::string picture = argv[1], photo = argv[2], folder = argv[3];
    const double pngQuality = std::atof(argv[4]), jpegQuality = std::atof(argv[5]);
    const std::string png = folder + "/engine.png", jpeg = folder + "/engine.jpg";
    try {
        MvValueHolder frame = loaded(picture);
        std::printf("read_png %.4f\n", medianMilliseconds([&] { loaded(picture); }));
        setProperty(frame.get(), "compression", MvTextCreate("PNG"));
        setProperty(frame.get(), "quality", MvNumberCreate(pngQuality));
        std::printf("write_png %.4f\n",
                    medianMilliseconds([&] { frame->SaveToFile(png.c_str()); }));
        setProperty(frame.get(), "compression", MvTextCreate("JPEG"));
        setProperty(frame.get(), "quality", MvNumberCreate(jpegQuality));
        std::printf("write_jpeg %.4f\n",
                    medianMilliseconds([&] { frame->SaveToFile(jpeg.c_str()); }));
        std::printf("read_jpeg %.4f\n", medianMilliseconds([&] { loaded(photo); }));
    } catch (MvException* e) {
        std::fprintf(stderr, "%s\n", e->getMessage().c_str());
        delete e;
        return 1;
    }
    return 0;
}
