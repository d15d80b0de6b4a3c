// Export macro of the ZRMMathematics shared library. Everything not marked is hidden.
#ifndef ZRMMathematicsExport_h
#define ZRMMathematicsExport_h

#if defined(_WIN32)
#  if defined(ZRMMATH_BUILDING)
#    define ZRMMATH_API __declspec(dllexport)
#  else
#    define ZRMMATH_API __declspec(dllimport)
#  endif
#else
#  define ZRMMATH_API __attribute__((visibility("default")))
#endif

#endif
