#include <cstdio>
#include <string>

#include "tools/commands.h"
#include "tools/password_entry.h"
#include "tools/stored_password.h"

namespace poolmetrics {

int EncodeCommand() {
  // No input at all is an empty password, which is refused as one.
  std::string password = ReadPassword("Password: ").value_or("");
  if (std::optional<std::string> refusal = PasswordRefusal(password)) {
    std::fprintf(stderr, "PoolMetricsProfile: %s\n", refusal->c_str());
    return 1;
  }
  std::string stored = MakeStoredPassword(password);
  if (stored.empty()) {
    std::fputs("PoolMetricsProfile: this password cannot be stored\n", stderr);
    return 1;
  }
  std::printf("%s\n", stored.c_str());
  return 0;
}

}  // namespace poolmetrics
