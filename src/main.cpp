// PoolMetrics: a sensor that reports the buffer, memory and database-access
// statistics of an SAP application server to a network monitoring host.
#include <cstdio>

#include "base/console.h"
#include "base/standard_descriptors.h"
#include "program.h"

int main(int argc, char** argv) {
  poolmetrics::EnsureStandardDescriptors();
  // One write for the whole document: the Windows C runtime otherwise
  // writes a pipe character by character, a system call (and under Wine a
  // server round trip) each.
  static char buffer[1 << 14];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  int status = poolmetrics::RunProgram(argc, argv);
  // A document that did not reach the monitoring host is no success: the run
  // failed, and there is no channel left to say why.
  if (!poolmetrics::OutputDelivered()) return poolmetrics::kUndeliveredStatus;
  return status;
}
