#include "rfc/nwrfc/ini_path.h"

#include "base/file.h"
#include "rfc/nwrfc/destination_entry.h"
#include "rfc/nwrfc/sap_text.h"

namespace poolmetrics {

std::string ChooseIniPath(const NwRfc& rfc, const std::string& program_directory) {
  std::string beside = program_directory + kNwRfcIniFile;
  if (program_directory.empty() || !rfc.RfcSetIniPath || !CanOpen(beside.c_str())) return kNwRfcIniFile;
  // The directory with its separator: the library finds the file in it
  // whether it adds a separator of its own or not.
  SapText directory = ToSapText(program_directory);
  nwrfc::RFC_ERROR_INFO error{};
  if (rfc.RfcSetIniPath(directory.c_str(), &error) != nwrfc::RFC_OK) return kNwRfcIniFile;
  return beside;
}

}  // namespace poolmetrics
