// Storage blocks of large pixel arrays, kept for reuse.
//
// Reading a movie or filtering an image frame after frame makes and drops
// one large array per frame. Fresh memory from the system costs a page
// fault per page on its first touch, more than converting the pixels
// themselves; the blocks of a few arrays dropped lately are therefore kept
// and handed to the next arrays of the same size.
#ifndef MORVANE_ENGINE_MVPIXELBLOCKS_H
#define MORVANE_ENGINE_MVPIXELBLOCKS_H

#include <cstddef>

namespace MvPixelBlocks {

// A block of size bytes (zeroed when asked), or null when the system has
// none left.
void* take(std::size_t size, bool zeroed);
// Gives a block of size bytes back (null is allowed).
void give(void* block, std::size_t size);

} // namespace MvPixelBlocks

#endif
