/* The yardstick of a sensor run's own cost: a program that loads the RFC
 * library given as its argument at run time, looks up the eleven operations
 * that PoolMetrics uses, and prints a line. What a sensor run costs beyond
 * this is the program's own work and its one remote call. */
#include <dlfcn.h>
#include <stdio.h>

int main(int argc, char** argv) {
  static const char* const operations[] = {"RfcEnvironment", "RfcOpen", "RfcOpenEx", "RfcInstallStructure",
                                           "RfcCall",        "RfcReceive", "RfcLastError", "RfcClose",
                                           "ItCreate",       "ItFill",  "ItDelete"};
  void* library = dlopen(argc > 1 ? argv[1] : "librfccm.so", RTLD_NOW | RTLD_LOCAL);
  if (!library) return 1;
  for (unsigned i = 0; i < sizeof operations / sizeof operations[0]; ++i)
    if (!dlsym(library, operations[i])) return 1;
  puts("<Prtg></Prtg>");
  return 0;
}
