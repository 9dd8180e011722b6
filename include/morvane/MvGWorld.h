// MvGWorld: the engine's offscreen pixel buffer, the form in which pixels
// leave the engine (display, files, movies, video output) and come in.
//
// Reference counted (pictures keep showing a buffer after the image that
// produced it has changed). Three pixel formats:
//   kMvPixelFormatBGRA  32-bit pixels, bytes blue, green, red, alpha (0xAARRGGBB)
//   kMvPixelFormatIndexed8  one byte per pixel, an index into the colour table
//   kMvPixelFormatGrey8     one byte per pixel, a grey level
//
// Pixel memory is read and written only between Lock and Unlock, row by row
// through getLineX. Locks nest; the count must be back at 0 when the buffer
// is destroyed.
#ifndef MORVANE_MVGWORLD_H
#define MORVANE_MVGWORLD_H

#include "MvAutoObject.h"
#include "MvExport.h"

#include <cstdint>
#include <vector>

constexpr std::uint32_t kMvPixelFormatBGRA = 0x42475241;   // 'BGRA'
constexpr std::uint32_t kMvPixelFormatIndexed8 = 8;
constexpr std::uint32_t kMvPixelFormatGrey8 = 40;

// A rectangle in buffer coordinates; right and bottom are exclusive.
struct MvRect {
    std::int16_t top;
    std::int16_t left;
    std::int16_t bottom;
    std::int16_t right;
};

// One colour table entry: 16-bit red, green, blue (the high byte is used).
struct MvColorSpec {
    std::int16_t value;
    std::uint16_t red;
    std::uint16_t green;
    std::uint16_t blue;
};

typedef std::vector<MvColorSpec> MvColorTable;

// The pixel map of a buffer: where its pixels are and how they are laid out.
struct MvPixMap {
    unsigned char* baseAddress;
    std::int32_t rowBytes;
    std::uint32_t pixelFormat;
    std::int16_t pixelSize;      // bits per pixel
    std::int16_t componentCount;
    std::int32_t colorTableSeed;
    MvRect bounds;
    const MvColorTable* colorTable;   // null for 'BGRA'
};

// What an image source (file, movie, camera) says about its pixels.
struct MvImageDescription {
    std::int32_t width;
    std::int32_t height;
    std::int16_t depth;       // bits per pixel
    std::int16_t clutId;      // 0xFFFF (-1): no colour table of its own
    const MvColorTable* colorTable;
};

class MV_EXPORT MvGWorld : public MvAutoObject {
public:
    // Allocates a buffer of these bounds and format and clears it (opaque
    // black for 'BGRA'). table is copied; it is used by the indexed format.
    MvGWorld(const MvRect& bounds, std::uint32_t pixelFormat, const MvColorTable* table = nullptr);
    // Indexed format when table is not null, else 'BGRA'; not cleared (the
    // memory starts at 0).
    MvGWorld(const MvColorTable* table, const MvRect& bounds);
    // Bounds (0, 0, height, width); depth <= 8 gives the indexed format with
    // the description's table (unless its clutId is 0xFFFF) or 8-bit grey,
    // deeper ones 'BGRA'. Cleared. A null description raises
    // "NULL image description".
    explicit MvGWorld(const MvImageDescription* description);
    // Wraps pixels someone else owns; nothing is allocated, cleared or freed.
    MvGWorld(unsigned char* baseAddress, std::int32_t rowBytes, std::uint32_t pixelFormat,
             const MvRect& bounds, const MvColorTable* table = nullptr);

    // Never throws: a buffer destroyed while locked or still shared is
    // reported on the warning console and destroyed anyway.
    ~MvGWorld() override;

    MvGWorld(const MvGWorld&) = delete;
    MvGWorld& operator=(const MvGWorld&) = delete;

    unsigned char* Lock();
    void Unlock();
    // The address of row y; only while locked.
    unsigned char* getLineX(std::int32_t y);

    std::int32_t getWidth() const { return width_; }
    std::int32_t getHeight() const { return height_; }
    std::int32_t getLockCount() const { return lockCount_; }
    const MvRect& getBounds() const { return bounds_; }
    std::uint32_t getPixelFormat() const;
    // The first entry of the colour table, or null when there is none.
    const MvColorSpec* getCLUT() const;
    MvPixMap* getPixMap() { return &pixMap_; }
    std::int32_t getRowBytes() const { return pixMap_.rowBytes; }
    // The platform's own world; here the buffer is its own platform world.
    void* getMacGWorld() { return this; }
    bool ownsWorld() const { return ownsWorld_; }

    // Whether a draw scope is open on this buffer.
    void setContext(bool inScope) { inDrawScope_ = inScope; }
    bool inContext() const { return inDrawScope_; }

private:
    void allocate(std::uint32_t pixelFormat, const MvColorTable* table);
    void clear();

    bool ownsWorld_ = true;
    bool inDrawScope_ = false;
    MvRect bounds_{};
    std::int32_t lockCount_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    MvColorTable table_;
    std::vector<unsigned char> storage_;
    MvPixMap pixMap_{};
    // While locked: the locked pixel map's base and row bytes.
    unsigned char* lockedBase_ = nullptr;
    std::int32_t lockedRowBytes_ = 0;
};

// Locks a buffer for drawing and marks the draw scope open; unlocks and
// clears the mark on exit, in reverse order.
class MV_EXPORT MvGWorldDrawScope {
public:
    explicit MvGWorldDrawScope(MvGWorld& world);
    ~MvGWorldDrawScope();
    MvGWorldDrawScope(const MvGWorldDrawScope&) = delete;
    MvGWorldDrawScope& operator=(const MvGWorldDrawScope&) = delete;

private:
    MvGWorld& world_;
    bool wasInScope_;
};

// The flat interface for hosts and plug-ins. Every function takes the
// buffer first; errors are raised as script errors (MvException*).
MV_C_API MvGWorld* MvGWorldCreate(std::int32_t width, std::int32_t height);
MV_C_API void MvGWorldDelete(MvGWorld* gw);
MV_C_API unsigned char* MvGWorldLock(MvGWorld* gw);
MV_C_API void MvGWorldUnlock(MvGWorld* gw);
MV_C_API unsigned char* MvGWorldGetLineRandomAccess(MvGWorld* gw, std::int32_t y);
MV_C_API unsigned char* MvGWorldGetLineRead1(MvGWorld* gw, std::int32_t y);
MV_C_API unsigned char* MvGWorldGetLineRead2(MvGWorld* gw, std::int32_t y);
MV_C_API unsigned char* MvGWorldGetLineRead3(MvGWorld* gw, std::int32_t y);
MV_C_API unsigned char* MvGWorldGetLineReadWrite(MvGWorld* gw, std::int32_t y);
MV_C_API unsigned char* MvGWorldGetLineWrite(MvGWorld* gw, std::int32_t y);
MV_C_API std::int32_t MvGWorldGetWidth(MvGWorld* gw);
MV_C_API std::int32_t MvGWorldGetHeight(MvGWorld* gw);
MV_C_API std::uint32_t MvGWorldGetPixelFormat(MvGWorld* gw);
MV_C_API const MvColorSpec* MvGWorldGetCLUT(MvGWorld* gw);
MV_C_API MvPixMap* MvGWorldGetPixMap(MvGWorld* gw);
MV_C_API std::int32_t MvGWorldGetRowBytes(MvGWorld* gw);
MV_C_API void* MvGWorldGetMacGWorld(MvGWorld* gw);
// Copies source pixels into destRect of destination, scaling by nearest
// neighbour when the rectangles differ in size and clipping to both
// buffers; a null sourceRect means the whole source. mode and mask are
// accepted for callers written against other platforms and not used.
MV_C_API void MvGWorldCopyImage(MvGWorld* source, MvGWorld* destination, const MvRect* destRect,
                                const MvRect* sourceRect, std::int16_t mode, void* mask);
// Copies the whole of gw into destRect of the buffer destinationPort.
MV_C_API void MvGWorldCopyImageToGWorld(MvGWorld* gw, void* destinationPort,
                                        const MvRect* destRect, std::int16_t mode, void* mask);
MV_C_API void MvGWorldSetContext(MvGWorld* gw, int inScope);

#endif
