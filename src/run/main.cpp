// PoolMetrics: a sensor that reports the buffer, memory and database-access
// statistics of an SAP application server to a network monitoring host.
#include <cstdio>

#include "run/program.h"

int main(int argc, char** argv) {
  int status = poolmetrics::RunProgram(argc, argv);
  std::fflush(stdout);
  return status;
}
