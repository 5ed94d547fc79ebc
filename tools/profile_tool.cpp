// PoolMetricsProfile: the administrator's companion of PoolMetrics.
//
//   PoolMetricsProfile encode        reads one password line from standard
//                                    input, prints its stored form
//   PoolMetricsProfile check FILE    reads a profile as a global run does and
//                                    says every fault it finds
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "profile/password.h"
#include "profile/system_definition.h"
#include "run/file.h"
#include "run/line_reader.h"
#include "run/standard_descriptors.h"

namespace poolmetrics {
namespace {

constexpr std::string_view kUsage =
    "usage: PoolMetricsProfile encode        (password on standard input; prints the stored form)\n"
    "       PoolMetricsProfile check FILE    (says whether the profile FILE is valid)\n";

bool Printable(const std::string& text) {
  for (char c : text)
    if (c < 0x21 || c > 0x7E) return false;  // no blank either: editors strip them
  return true;
}

int Encode() {
  File input(stdin);
  LineReader reader(input.get(), 4096);
  std::string_view line;
  std::string password;
  if (reader.Next(&line)) password = WithoutLineEnd(line);
  input.release();
  if (password.empty() || password.size() > kPasswordBlockLength) {
    std::fputs("PoolMetricsProfile: the password must have 1 to 20 characters\n", stderr);
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

int Check(const char* path) {
  File profile = File::OpenRead(path);
  if (!profile) {
    std::printf("%s: cannot be opened\n", path);
    return 1;
  }
  SystemDefinition system;
  std::vector<ProfileFault> faults;
  bool valid = ReadSystemDefinition(std::move(profile), ReadMode::kListing, path, system, &faults);
  if (valid) {
    std::printf("%s: valid profile of %s (client %s, user %s)\n", path, system.Destination.c_str(),
                system.Client.c_str(), system.User.c_str());
    return 0;
  }
  for (const ProfileFault& fault : faults) std::printf("%s: %s (message %d)\n", path, fault.detail.c_str(), fault.code);
  return 1;
}

}  // namespace
}  // namespace poolmetrics

int main(int argc, char** argv) {
  poolmetrics::EnsureStandardDescriptors();
  std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "encode" && argc == 2) return poolmetrics::Encode();
  if (command == "check" && argc == 3) return poolmetrics::Check(argv[2]);
  std::fputs(poolmetrics::kUsage.data(), stderr);
  return 1;
}
