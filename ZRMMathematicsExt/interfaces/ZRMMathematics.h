// ZRMMathematics: library-wide declarations.
#ifndef ZRMMathematics_h
#define ZRMMathematics_h

#include "ZRMMathematicsExport.h"

// Marker of the library: returns 1. Callers that load the library dynamically look it up to
// check that they have loaded this library.
extern "C" ZRMMATH_API int ZRMMathematicsMarker();

#endif
