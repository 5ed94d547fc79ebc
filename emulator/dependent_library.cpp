// A library under the NetWeaver RFC library's file name that needs a
// companion library at load time, as SAP's library needs ICU's, for the
// scenario of an installation that lacks the companion: the loader refuses
// the library, and message 1031 names the companion that is missing. It
// lands in bin/dependent/, its companion in bin/dependent/companion/, never
// beside it.
#if defined(_WIN32)
#define DEPENDENT_EXPORT __declspec(dllexport)
#define DEPENDENT_IMPORT __declspec(dllimport)
#else
#define DEPENDENT_EXPORT __attribute__((visibility("default")))
#define DEPENDENT_IMPORT
#endif

extern "C" {

DEPENDENT_IMPORT int CompanionVersion();

// Any use of the companion makes the loader need it.
DEPENDENT_EXPORT int RfcDependentOnCompanion() { return CompanionVersion(); }

}  // extern "C"
