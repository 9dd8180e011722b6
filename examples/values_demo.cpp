// Prints the engine's version and a few values computed by the engine.
#include "morvane/MvHost.h"

#include <cstdio>
#include <memory>

namespace {

void show(const char* label, MvValueHolder& value) {
    std::printf("%-24s %s (%s)\n", label, value->GetText().c_str(),
                MvType::typeName(value->GetType()));
}

} // namespace

int main() {
    int major, minor, build;
    MvGetVersion(&major, &minor, &build);
    std::printf("Morvane %s (%d.%d.%d)\n", MvGetVersionString(), major, minor, build);

    try {
        MvValueHolder five(MvNumberCreate(5));
        MvValueHolder third(MvNumberCreate(1.0 / 3.0));
        MvValueHolder abc(MvTextCreate("abc"));

        MvValueHolder sum;
        AddValues(sum, five, third, false);
        show("5 + 1/3", sum);

        MvValueHolder joined;
        AddValues(joined, five, abc, false);
        show("5 + \"abc\"", joined);

        MvValueHolder rounded(MvValueHolder(MvNumberCreate(-2.5))->Round());
        show("round(-2.5)", rounded);

        MvValueHolder piece = MvValueHolder(MvTextCreate("abcdef"))->GetElement2(
            MvValueHolder(MvNumberCreate(2)).get(), MvValueHolder(MvNumberCreate(0)).get());
        show("\"abcdef\"[2, 0]", piece);

        MvValueHolder quotient;
        MvValueHolder zero(MvNumberCreate(0));
        DivideValues(quotient, five, zero, false);
    } catch (MvException* error) {
        std::printf("%-24s error: %s\n", "5 / 0", error->getMessage().c_str());
        delete error;
    }
    return 0;
}
