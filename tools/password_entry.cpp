#include "tools/password_entry.h"

#include <cstdio>

#include "base/terminal.h"
#include "tools/answer_input.h"
#include "tools/stored_password.h"

namespace poolmetrics {

std::optional<std::string> ReadPassword(std::string_view question) {
  if (InputIsTerminal()) return Ask(question, true);
  std::optional<std::string> password = ReadAnswerLine();
  if (!password) return password;
  // A command such as `echo 'secret' | ...` in cmd passes more than was
  // meant; what it passed is still the password the administrator gets.
  for (const std::string& edge : PasswordEdges(*password))
    std::fprintf(stderr,
                 "PoolMetricsProfile: warning: the password from standard input has %s, kept as part of the "
                 "password\n",
                 edge.c_str());
  return password;
}

}  // namespace poolmetrics
