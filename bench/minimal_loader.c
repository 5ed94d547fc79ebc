/* The yardstick of a sensor run's own cost: a program that loads the RFC
 * library given as its argument at run time, looks up the operations that
 * PoolMetrics uses from it, and prints a line. What a sensor run costs
 * beyond this is the program's own work and its one remote call.
 * Natively through dlopen; built for Windows through LoadLibrary, where the
 * NetWeaver library (a file name with "nwrfc") is looked up by its own
 * operations. */
#include <stdio.h>
#include <string.h>
#ifdef _WIN32
#include <windows.h>
#define OPEN(name) ((void*)LoadLibraryA(name))
#define FIND(library, name) ((void*)GetProcAddress((HMODULE)(library), name))
#else
#include <dlfcn.h>
#define OPEN(name) dlopen(name, RTLD_NOW | RTLD_LOCAL)
#define FIND(library, name) dlsym(library, name)
#endif

static const char* const classic[] = {"RfcEnvironment", "RfcOpen",      "RfcOpenEx", "RfcInstallStructure",
                                      "RfcCall",        "RfcReceive",   "RfcLastError", "RfcClose",
                                      "ItCreate",       "ItFill",       "ItDelete",  NULL};
static const char* const netweaver[] = {"RfcOpenConnection", "RfcCloseConnection", "RfcGetFunctionDesc",
                                        "RfcCreateFunction", "RfcDestroyFunction", "RfcSetChars",
                                        "RfcInvoke",         "RfcGetStructure",    "RfcGetTable",
                                        "RfcGetRowCount",    "RfcGetInt",          "RfcGetChars",
                                        "RfcGetDate",        "RfcGetTime",         "RfcGetString",
                                        "RfcGetVersion",     NULL};

int main(int argc, char** argv) {
  const char* name = argc > 1 ? argv[1] : "librfccm.so";
  const char* const* operations = strstr(name, "nwrfc") ? netweaver : classic;
  void* library = OPEN(name);
  if (!library) return 1;
  for (; *operations; ++operations)
    if (!FIND(library, *operations)) return 1;
  puts("<Prtg></Prtg>");
  return 0;
}
