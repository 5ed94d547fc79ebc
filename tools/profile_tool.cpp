// PoolMetricsProfile: the administrator's companion of PoolMetrics.
//
//   PoolMetricsProfile encode        reads one password line from standard
//                                    input, prints its stored form
//   PoolMetricsProfile check FILE    reads a profile as a global run does and
//                                    says every fault it finds, with control
//                                    characters of the profile shown as \xHH
//   PoolMetricsProfile check --credentials FILE
//                                    the same for a profile of runs with
//                                    CREDENTIALS=: User and Password are not
//                                    required
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "base/console.h"
#include "base/file.h"
#include "base/file_system.h"
#include "base/line_reader.h"
#include "base/standard_descriptors.h"
#include "base/text.h"
#include "profile/password.h"
#include "profile/system_definition.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

constexpr std::string_view kUsage =
    "usage: PoolMetricsProfile encode        (password on standard input; prints the stored form)\n"
    "       PoolMetricsProfile check FILE    (says whether the profile FILE is valid)\n"
    "       PoolMetricsProfile check --credentials FILE\n"
    "                                        (the same, for runs that take user and password from\n"
    "                                        PRTG with CREDENTIALS=)\n";

bool Printable(const std::string& text) {
  for (char c : text)
    if (c < 0x21 || c > 0x7E) return false;  // no blank either: editors strip them
  return true;
}

// A text from a profile as the administrator's terminal may show it: control
// characters (C0, DEL, and C1 whether raw or in UTF-8) as \xHH, so that no
// escape sequence of a profile reaches the terminal. Other bytes stay as
// they are.
std::string Shown(std::string_view text) {
  std::string shown;
  auto escape = [&](unsigned char byte) {
    constexpr char kHex[] = "0123456789ABCDEF";
    shown += "\\x";
    shown += kHex[byte >> 4];
    shown += kHex[byte & 0x0F];
  };
  for (std::size_t i = 0; i < text.size();) {
    auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      if (IsControl(text[i]))
        escape(byte);
      else
        shown += text[i];
      ++i;
      continue;
    }
    std::size_t n = Utf8SequenceLength(text.substr(i));
    if (n == 0) {
      if (byte <= 0x9F)
        escape(byte);
      else
        shown += text[i];
      ++i;
      continue;
    }
    bool c1 = byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
    for (std::size_t k = i; k < i + n; ++k)
      if (c1)
        escape(static_cast<unsigned char>(text[k]));
      else
        shown += text[k];
    i += n;
  }
  return shown;
}

// The first line of standard input, without its line end, read byte for
// byte: a zero byte or Ctrl-Z in it must be seen, not end the line early.
// Reads at most `limit` bytes.
std::string ReadFirstLine(std::size_t limit) {
  UseBinaryMode(stdin);
  std::string line;
  int c;
  while (line.size() < limit && (c = std::getchar()) != EOF && c != '\n') line += static_cast<char>(c);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

int Encode() {
  // A password that every run would refuse is no use stored.
  constexpr std::size_t kShortest = 2;
  std::string password = ReadFirstLine(4096);
  for (char c : password)
    if (IsControl(c)) {
      std::fputs("PoolMetricsProfile: the password holds a control character (such as a zero byte or a tab)\n", stderr);
      return 1;
    }
  if (password.size() < kShortest || password.size() > kPasswordBlockLength) {
    std::fputs(Concat({"PoolMetricsProfile: the password must have ", std::to_string(kShortest), " to ",
                       std::to_string(kPasswordBlockLength), " characters\n"})
                   .c_str(),
               stderr);
    return 1;
  }

  // A random key offset and random filler: two stored forms of the same
  // password differ. Printable forms are preferred; any form without a
  // zero byte, carriage return or line feed is acceptable.
  std::random_device device;
  std::mt19937 random(device());
  constexpr std::string_view kFiller = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::uniform_int_distribution<int> offset_of(0, 9);
  std::uniform_int_distribution<std::size_t> filler_of(0, kFiller.size() - 1);
  std::string fallback;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string filler;
    for (std::size_t i = password.size(); i < kPasswordBlockLength; ++i) filler += kFiller[filler_of(random)];
    std::string stored = EncodeStoredPassword(password, offset_of(random), filler);
    if (stored.empty()) continue;
    if (Printable(stored)) {
      fallback = stored;
      break;
    }
    if (fallback.empty()) fallback = stored;
  }
  if (fallback.empty()) {
    std::fputs("PoolMetricsProfile: this password cannot be stored\n", stderr);
    return 1;
  }
  std::printf("%s\n", fallback.c_str());
  return 0;
}

int Check(const char* path, UserAndPassword logon) {
  File profile = File::OpenRead(path);
  if (!profile) {
    std::printf("%s: cannot be opened\n", Shown(path).c_str());
    return 1;
  }
  SystemDefinition system;
  const bool from_profile = logon == UserAndPassword::kFromProfile;
  std::vector<ProfileFault> faults = ReadSystemDefinition(std::move(profile), ReadMode::kListing, system, logon);
  for (const ProfileFault& fault : faults)
    std::printf("%s: %s (message %d)\n", Shown(path).c_str(), Shown(fault.detail).c_str(), fault.code);
  if (faults.empty()) {
    std::string details = "client " + Shown(system.Client);
    if (from_profile) details += ", user " + Shown(system.User);
    std::printf("%s: valid profile of %s (%s)\n", Shown(path).c_str(), Shown(system.Destination).c_str(),
                details.c_str());
  }
  if (!from_profile)
    std::printf("%s: User and Password not required: runs with CREDENTIALS= take them from PRTG\n",
                Shown(path).c_str());
  return faults.empty() ? 0 : 1;
}

int Run(int argc, char** argv) {
  std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "encode" && argc == 2) return Encode();
  if (command == "check" && argc == 3) return Check(argv[2], UserAndPassword::kFromProfile);
  if (command == "check" && argc == 4 && std::string_view(argv[2]) == "--credentials")
    return Check(argv[3], UserAndPassword::kFromElsewhere);
  std::fputs(kUsage.data(), stderr);
  return 1;
}

}  // namespace
}  // namespace poolmetrics

int main(int argc, char** argv) {
  poolmetrics::EnsureStandardDescriptors();
  int status = poolmetrics::Run(argc, argv);
  // A stored form that never reached its reader must not look like success.
  if (!poolmetrics::OutputDelivered()) {
    std::fputs("PoolMetricsProfile: standard output could not be written\n", stderr);
    return 1;
  }
  return status;
}
