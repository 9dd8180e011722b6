// Export macros for the Morvane shared library.
//
// The library is built with hidden visibility; everything hosts and plug-ins
// may use is marked explicitly. MV_EXPORT marks C++ classes and functions
// (exported under their decorated names), MV_C_API marks the flat functions
// exported under plain, undecorated names.
#ifndef MORVANE_MVEXPORT_H
#define MORVANE_MVEXPORT_H

#if defined(_WIN32)
#  if defined(MORVANE_BUILDING_LIBRARY)
#    define MV_EXPORT __declspec(dllexport)
#  else
#    define MV_EXPORT __declspec(dllimport)
#  endif
#else
#  define MV_EXPORT __attribute__((visibility("default")))
#endif

#define MV_C_API extern "C" MV_EXPORT

#endif
