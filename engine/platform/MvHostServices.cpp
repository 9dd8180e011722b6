// The beep and the clipboard, with the host's callbacks when it gave any.
#include "MvPlatform.h"
#include "morvane/MvHostServices.h"

#include <mutex>

namespace {

struct HostServices {
    std::mutex lock;
    MvBeepCallback beep = nullptr;
    void* beepContext = nullptr;
    MvClipboardSetCallback setText = nullptr;
    MvClipboardGetCallback getText = nullptr;
    void* clipboardContext = nullptr;
    MvClipboardGetImageCallback getImage = nullptr;
    void* imageContext = nullptr;
    std::string privateClipboard;   // used while the host gives no clipboard
};

HostServices& services() {
    static HostServices instance;
    return instance;
}

} // namespace

// Called from C hosts: a lock that cannot be taken (the only failure)
// leaves the services as they were.
void MvSetBeepCallback(MvBeepCallback beep, void* context) {
    try {
        HostServices& s = services();
        std::lock_guard<std::mutex> guard(s.lock);
        s.beep = beep;
        s.beepContext = beep ? context : nullptr;
    } catch (...) {
    }
}

void MvSetClipboardCallbacks(MvClipboardSetCallback setText, MvClipboardGetCallback getText,
                             void* context) {
    try {
        HostServices& s = services();
        std::lock_guard<std::mutex> guard(s.lock);
        const bool both = setText && getText;
        s.setText = both ? setText : nullptr;
        s.getText = both ? getText : nullptr;
        s.clipboardContext = both ? context : nullptr;
    } catch (...) {
    }
}

void MvSetClipboardImageCallback(MvClipboardGetImageCallback getImage, void* context) {
    try {
        HostServices& s = services();
        std::lock_guard<std::mutex> guard(s.lock);
        s.getImage = getImage;
        s.imageContext = getImage ? context : nullptr;
    } catch (...) {
    }
}

namespace MvPlatform {

void beep() {
    HostServices& s = services();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.beep)
        s.beep(s.beepContext);
}

void setClipboardText(const std::string& text) {
    HostServices& s = services();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.setText)
        s.setText(s.clipboardContext, text.c_str());
    else
        s.privateClipboard = text;
}

std::string clipboardText() {
    HostServices& s = services();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.getText)
        return s.privateClipboard;
    const char* text = s.getText(s.clipboardContext);
    return text ? std::string(text) : std::string();
}

std::string clipboardImage() {
    HostServices& s = services();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.getImage)
        return std::string();
    std::size_t size = 0;
    const unsigned char* bytes = s.getImage(s.imageContext, &size);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes), size) : std::string();
}

} // namespace MvPlatform
