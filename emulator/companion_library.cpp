// The companion that the dependent library (dependent_library.cpp) needs,
// under the file name of one of ICU's libraries that SAP's NetWeaver RFC
// library loads.
#if defined(_WIN32)
#define COMPANION_EXPORT __declspec(dllexport)
#else
#define COMPANION_EXPORT __attribute__((visibility("default")))
#endif

extern "C" COMPANION_EXPORT int CompanionVersion() { return 50; }
