#include "run/profile_location.h"

#include "base/line_reader.h"
#include "base/text.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

constexpr std::string_view kPrtgSubdirectory = "PRTG Network Monitor\\Custom Sensors\\ExeXml\\";
constexpr std::string_view kSensorSubdirectory = "Custom Sensors\\ExeXml\\";
constexpr std::string_view kFallbackDirectories[] = {
    "\\Programme\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\",
    "\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\",
    "\\Program Files (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\",
};
constexpr std::size_t kHintLineLength = 99;

using Path = decltype(ProfileLocation::ProfilePath);

// Sets ProfilePath to directory + name and opens it. A name or path that
// does not fit its field is never opened cut short (that would be another
// file): it counts as not found.
File OpenCandidate(const Request& request, ProfileLocation& location, std::string_view directory) {
  location.ProfilePath = directory;
  location.ProfilePath += request.ProfileName;
  if (request.ProfileNameCut || directory.size() + request.ProfileName.size() > Path::kCapacity) return File();
  return File::OpenRead(location.ProfilePath.c_str());
}

// A hint line names a directory when it starts at a drive root or share:
// a backslash first, a colon second or a backslash third.
bool NamesDirectory(std::string_view line) {
  return (line.size() > 0 && line[0] == '\\') || (line.size() > 1 && line[1] == ':') ||
         (line.size() > 2 && line[2] == '\\');
}

[[noreturn]] void ProfileMissing(std::string_view shown) {
  Fail(Concat({"Error 1002: Profile ", shown, " is missing..."}));
}

// The directory that the PRTG hint file names, narrowed to the custom-sensor
// directory below it where the profile is found there.
void ApplyPrtgHint(const Request& request, ProfileLocation& location, File hint) {
  LineReader reader(hint.get(), kHintLineLength);
  std::string_view piece;
  while (reader.Next(&piece)) {
    std::string_view line = WithoutLineEnd(piece);
    if (NamesDirectory(line)) location.ProfileDirectory = line;
  }
  hint.reset();
  if (location.ProfileDirectory.empty() || location.ProfileDirectory.view().back() != '\\') location.ProfileDirectory += '\\';

  for (std::string_view sub : {kPrtgSubdirectory, kSensorSubdirectory}) {
    FixedText<Path::kCapacity + 1 + 64> directory(location.ProfileDirectory);
    directory += sub;
    if (directory.size() <= Path::kCapacity && OpenCandidate(request, location, directory)) location.ProfileDirectory = directory;
  }
  if (!OpenCandidate(request, location, location.ProfileDirectory)) ProfileMissing(request.ProfileName);
}

// The path check of mode EXEXML: the directory must end in "ExeXml\" (any case).
bool InSensorDirectory(std::string_view directory) {
  return directory.size() >= 7 && EqualsIgnoringCase(directory.substr(directory.size() - 7, 6), "EXEXML");
}

}  // namespace

ProfileLocation LocateProfile(const Request& request) {
  ProfileLocation location;
  if (request.Mode != CallerMode::kExeXml || Contains(request.Params.ParameterKeys, "@")) {
    location.ProfileDirectory = request.ProfileDirectory;
    location.Profile = OpenCandidate(request, location, location.ProfileDirectory);
    if (!location.Profile) ProfileMissing(location.ProfilePath);
    return location;
  }

  // PRTG directory search: the directory given with the name is not used.
  if (File hint = File::OpenRead(kPrtgHintFile)) ApplyPrtgHint(request, location, std::move(hint));

  location.Profile = OpenCandidate(request, location, location.ProfileDirectory);
  for (std::string_view fallback : kFallbackDirectories) {
    if (location.Profile) break;
    location.ProfileDirectory = fallback;
    location.Profile = OpenCandidate(request, location, location.ProfileDirectory);
  }
  if (!location.Profile) ProfileMissing(request.ProfileName);

  if (!InSensorDirectory(location.ProfileDirectory)) Fail("Sorry, invalid Path-Usage...");
  return location;
}

}  // namespace poolmetrics
