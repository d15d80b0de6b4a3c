// Export macro of the platform layer (shared library ZRMPlatform).
#ifndef KRNPlatformExport_h
#define KRNPlatformExport_h

#if defined(_WIN32)
#  if defined(KRN_PLATFORM_BUILDING)
#    define KRN_API __declspec(dllexport)
#  else
#    define KRN_API __declspec(dllimport)
#  endif
#else
#  define KRN_API __attribute__((visibility("default")))
#endif

#endif
