// Offscreen buffers through the host and plug-in interface: creation and
// clearing, the lock discipline, row access and its errors, copying between
// buffers, and destruction that reports misuse instead of throwing.
#include "thrown_message.h"
#include "morvane/MvGWorld.h"
#include "morvane/MvProcess.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct GWorldDeleter {
    void operator()(MvGWorld* gw) const { MvGWorldDelete(gw); }
};
using GWorldPtr = std::unique_ptr<MvGWorld, GWorldDeleter>;

GWorldPtr create(std::int32_t width, std::int32_t height) {
    return GWorldPtr(MvGWorldCreate(width, height));
}

std::uint32_t pixelAt(MvGWorld* gw, std::int32_t x, std::int32_t y) {
    std::uint32_t argb;
    std::memcpy(&argb, MvGWorldGetLineRead1(gw, y) + 4 * x, 4);
    return argb;
}

void setPixel(MvGWorld* gw, std::int32_t x, std::int32_t y, std::uint32_t argb) {
    std::memcpy(MvGWorldGetLineWrite(gw, y) + 4 * x, &argb, 4);
}

std::string takeWarnings() {
    Mv_stringstream& console = MvGetWarningConsole();
    std::string text = console.str();
    console.str("");
    MvReleaseWarningConsole();
    return text;
}

// ------------------------------------------------------------ creation

TEST(GWorldCreate, ThreeByTwoIsOpaqueBlack) {
    GWorldPtr gw = create(3, 2);
    EXPECT_EQ(MvGWorldGetWidth(gw.get()), 3);
    EXPECT_EQ(MvGWorldGetHeight(gw.get()), 2);
    EXPECT_EQ(MvGWorldGetPixelFormat(gw.get()), 0x42475241u);
    EXPECT_EQ(MvGWorldGetCLUT(gw.get()), nullptr);
    MvGWorldLock(gw.get());
    EXPECT_GE(MvGWorldGetRowBytes(gw.get()), 12);
    for (std::int32_t y = 0; y < 2; ++y)
        for (std::int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(pixelAt(gw.get(), x, y), 0xFF000000u) << x << "," << y;
    MvGWorldUnlock(gw.get());
}

TEST(GWorldCreate, OnePixelAndZeroArea) {
    GWorldPtr one = create(1, 1);
    MvGWorldLock(one.get());
    EXPECT_EQ(pixelAt(one.get(), 0, 0), 0xFF000000u);
    MvGWorldUnlock(one.get());
    const char* zero = "Can't create a frame or image with zero area.";
    EXPECT_EQ(thrownMessage([] { MvGWorldCreate(0, 5); }), zero);
    EXPECT_EQ(thrownMessage([] { MvGWorldCreate(5, 0); }), zero);
    EXPECT_EQ(thrownMessage([] { MvGWorldCreate(-1, 5); }), zero);
    EXPECT_EQ(thrownMessage([] { MvGWorldCreate(40000, 1); }), "Out of Memory");
}

TEST(GWorldCreate, DescriptionChoosesTheFormat) {
    EXPECT_EQ(thrownMessage([] { MvGWorld gw(static_cast<const MvImageDescription*>(nullptr)); }),
              "NULL image description");
    MvColorTable table(256, MvColorSpec{0, 0, 0, 0});
    MvImageDescription deep{4, 3, 32, -1, nullptr};
    MvImageDescription indexed{4, 3, 8, 7, &table};
    MvImageDescription grey{4, 3, 8, -1, &table};
    GWorldPtr a(new MvGWorld(&deep)), b(new MvGWorld(&indexed)), c(new MvGWorld(&grey));
    EXPECT_EQ(MvGWorldGetPixelFormat(a.get()), 0x42475241u);
    EXPECT_EQ(MvGWorldGetPixelFormat(b.get()), 8u);
    EXPECT_NE(MvGWorldGetCLUT(b.get()), nullptr);
    EXPECT_EQ(MvGWorldGetPixelFormat(c.get()), 40u);
    EXPECT_EQ(MvGWorldGetWidth(c.get()), 4);
    EXPECT_EQ(MvGWorldGetHeight(c.get()), 3);
}

// ------------------------------------------------------------ locking and lines

TEST(GWorldLock, LinesNeedALock) {
    GWorldPtr gw = create(3, 2);
    EXPECT_EQ(thrownMessage([&] { MvGWorldGetLineRandomAccess(gw.get(), 0); }),
              "MvGWorld::getLineX() : Pixels NOT locked!!");
    MvGWorldLock(gw.get());
    MvGWorldUnlock(gw.get());
    EXPECT_EQ(thrownMessage([&] { MvGWorldGetLineReadWrite(gw.get(), 0); }),
              "MvGWorld::getLineX() : Pixels NOT locked!!");
}

TEST(GWorldLock, LineBoundsAreChecked) {
    GWorldPtr gw = create(3, 2);
    MvGWorldLock(gw.get());
    const char* outside = "MvGWorld::getLineX() : Line out of bounds!!";
    EXPECT_EQ(thrownMessage([&] { MvGWorldGetLineRead2(gw.get(), 2); }), outside);
    EXPECT_EQ(thrownMessage([&] { MvGWorldGetLineRead3(gw.get(), -1); }), outside);
    EXPECT_EQ(messageOf([&] { MvGWorldGetLineRead3(gw.get(), 1); }), kNoException);
    MvGWorldUnlock(gw.get());
}

TEST(GWorldLock, LocksNestAndAnExtraUnlockFails) {
    GWorldPtr gw = create(2, 2);
    unsigned char* first = MvGWorldLock(gw.get());
    unsigned char* second = MvGWorldLock(gw.get());
    EXPECT_EQ(first, second);
    MvGWorldUnlock(gw.get());
    // Still locked once: lines are reachable.
    EXPECT_EQ(MvGWorldGetLineRandomAccess(gw.get(), 0), first);
    EXPECT_EQ(MvGWorldGetLineRandomAccess(gw.get(), 1), first + MvGWorldGetRowBytes(gw.get()));
    MvGWorldUnlock(gw.get());
    EXPECT_EQ(thrownMessage([&] { MvGWorldUnlock(gw.get()); }),
              "MvGWorld::Unlock() : Pixels already unlocked!!");
    // The count stays below zero: the next lock does not unlock the pixels.
    EXPECT_EQ(thrownMessage([&] { MvGWorldLock(gw.get()); }),
              "MvGWorld::Lock() : LockCount was negative!!");
    EXPECT_EQ(gw->getLockCount(), 0);
}

TEST(GWorldLock, AllLineFunctionsAreTheSameAccess) {
    GWorldPtr gw = create(4, 3);
    MvGWorldLock(gw.get());
    unsigned char* line = MvGWorldGetLineRandomAccess(gw.get(), 2);
    EXPECT_EQ(MvGWorldGetLineRead1(gw.get(), 2), line);
    EXPECT_EQ(MvGWorldGetLineRead2(gw.get(), 2), line);
    EXPECT_EQ(MvGWorldGetLineRead3(gw.get(), 2), line);
    EXPECT_EQ(MvGWorldGetLineReadWrite(gw.get(), 2), line);
    EXPECT_EQ(MvGWorldGetLineWrite(gw.get(), 2), line);
    MvGWorldUnlock(gw.get());
}

// ------------------------------------------------------------ destruction

TEST(GWorldDelete, MisuseIsAWarningNotACrash) {
    takeWarnings();
    MvGWorld* locked = MvGWorldCreate(2, 2);
    MvGWorldLock(locked);
    MvGWorldDelete(locked);
    EXPECT_EQ(takeWarnings(), "Pixels are locked on deletion !!!\n");

    MvGWorld* shared = MvGWorldCreate(2, 2);
    shared->refCount = 2;
    MvGWorldDelete(shared);
    EXPECT_EQ(takeWarnings(), "Reference Counter Not One !!!\n");

    MvGWorldDelete(MvGWorldCreate(2, 2));
    EXPECT_EQ(takeWarnings(), "");
}

TEST(GWorldDelete, TheLastHolderDeletesQuietly) {
    takeWarnings();
    {
        mv_auto_value<MvGWorld> first(MvGWorldCreate(2, 2));
        mv_auto_value<MvGWorld> second(first);
        EXPECT_EQ(first->refCount, 2u);
    }
    EXPECT_EQ(takeWarnings(), "");
}

// ------------------------------------------------------------ copying

TEST(GWorldCopy, WholeSourceIntoARectangle) {
    GWorldPtr source = create(2, 2), destination = create(4, 4);
    MvGWorldLock(source.get());
    setPixel(source.get(), 0, 0, 0xFF112233u);
    setPixel(source.get(), 1, 1, 0x80445566u);
    MvGWorldUnlock(source.get());
    const MvRect target{1, 1, 3, 3};
    MvGWorldCopyImage(source.get(), destination.get(), &target, nullptr, 0, nullptr);
    MvGWorldLock(destination.get());
    EXPECT_EQ(pixelAt(destination.get(), 1, 1), 0xFF112233u);
    EXPECT_EQ(pixelAt(destination.get(), 2, 2), 0x80445566u);
    EXPECT_EQ(pixelAt(destination.get(), 0, 0), 0xFF000000u);
    EXPECT_EQ(pixelAt(destination.get(), 3, 3), 0xFF000000u);
    MvGWorldUnlock(destination.get());
    EXPECT_EQ(source->getLockCount(), 0);
    EXPECT_EQ(destination->getLockCount(), 0);
}

TEST(GWorldCopy, ScalesAndClipsToTheDestination) {
    GWorldPtr source = create(1, 1), destination = create(3, 3);
    MvGWorldLock(source.get());
    setPixel(source.get(), 0, 0, 0xFFFFFFFFu);
    MvGWorldUnlock(source.get());
    const MvRect beyond{1, 1, 10, 10};
    MvGWorldCopyImageToGWorld(source.get(), destination.get(), &beyond, 0, nullptr);
    MvGWorldLock(destination.get());
    EXPECT_EQ(pixelAt(destination.get(), 0, 0), 0xFF000000u);
    EXPECT_EQ(pixelAt(destination.get(), 1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(destination.get(), 2, 2), 0xFFFFFFFFu);
    MvGWorldUnlock(destination.get());
}

TEST(GWorldContext, TheFlagIsRecorded) {
    GWorldPtr gw = create(1, 1);
    EXPECT_FALSE(gw->inContext());
    MvGWorldSetContext(gw.get(), 1);
    EXPECT_TRUE(gw->inContext());
    MvGWorldSetContext(gw.get(), 0);
    EXPECT_FALSE(gw->inContext());
    EXPECT_EQ(MvGWorldGetMacGWorld(gw.get()), gw.get());
    EXPECT_EQ(MvGWorldGetPixMap(gw.get())->pixelFormat, 0x42475241u);
}

} // namespace
