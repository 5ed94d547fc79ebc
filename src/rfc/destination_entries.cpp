#include "rfc/destination_entries.h"

#include "base/content_digest.h"
#include "base/file.h"
#include "base/plain_file_name.h"
#include "base/wire_fields.h"
#include "rfc/classic/destination_file.h"
#include "rfc/nwrfc/destination_entry.h"

namespace poolmetrics {
namespace {

// "-" for no file, "?" for one that cannot be read to its end, else the
// digest of its bytes.
std::string StateOf(const File& file) {
  if (!file) return "-";
  ContentDigester digester;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) digester.Add({buffer, n});
  return std::ferror(file.get()) ? "?" : digester.Hex();
}

}  // namespace

std::string DestinationEntries(std::string_view destination, const std::string& program_directory) {
  std::string entries;
  // What the classic library's logon copies over SapRfc.ini; a destination
  // that is no plain file name opens no file there.
  bool plain = !destination.empty() && IsPlainFileName(destination);
  AppendField(entries, StateOf(plain ? OpenDestinationFile(destination) : File()));
  std::string beside = program_directory.empty() ? std::string() : program_directory + kNwRfcIniFile;
  AppendField(entries, StateOf(beside.empty() ? File() : File::OpenRead(beside.c_str())));
  AppendField(entries, StateOf(File::OpenRead(kNwRfcIniFile)));
  return entries;
}

}  // namespace poolmetrics
