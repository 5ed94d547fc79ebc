#include "run/profile_location.h"

#include <string>
#include <vector>

#include "base/file_system.h"
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

// What the search saw, for the message that tells the administrator where
// the profile was looked for and why it was not taken.
struct SearchTrail {
  std::vector<std::string> folders;  // in the order they were tried; "" is the working directory
  bool hint_read = false;            // C:\PRTG_Path.Txt was there
  std::string hint_folder;           // the folder it named, with its line number
  std::string hint_line_not_taken;   // the first line it holds that names no folder, and why
};

// A folder as messages name it: the working directory by its path.
std::string Shown(std::string_view folder) {
  if (folder == "\\") return "the root of the current drive (\\)";
  if (!folder.empty()) return std::string(folder);
  std::string working = WorkingDirectory();
  return working.empty() ? "the working directory" : Concat({"the working directory (", working, ")"});
}

// "a, b and c".
std::string Listed(const std::vector<std::string>& folders) {
  std::string text;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    if (i > 0) text += i + 1 == folders.size() ? " and " : ", ";
    text += Shown(folders[i]);
  }
  return text;
}

// Sets ProfilePath to directory + name and opens it. A name or path that
// does not fit its field is never opened cut short (that would be another
// file): it counts as not found.
File OpenCandidate(const Request& request, ProfileLocation& location, std::string_view directory,
                   SearchTrail* trail = nullptr) {
  if (trail) trail->folders.emplace_back(directory);
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

// Why a hint line that is not blank names no folder.
std::string NotTaken(std::string_view line, std::size_t number) {
  bool quoted = line.front() == '"' || line.front() == '\'';
  return Concat({"line ", std::to_string(number), " (", line, ") is not taken: ",
                 quoted ? "write the folder without quotes" : "it names no folder from a drive or share, such as D:\\PRTG"});
}

// A path or name that does not fit its field is never cut and opened as
// another file. `shown` is what the field holds, as the message names it;
// `length` the whole one's.
[[noreturn]] void PathTooLong(std::string_view shown, std::size_t length) {
  Fail(Concat({"Error 1002: Profile ", shown, " is missing... Its path has ", std::to_string(length),
               " characters, more than the ", std::to_string(Path::kCapacity),
               " a profile path may have: keep the profiles in a folder with a shorter path."}));
}
[[noreturn]] void NameTooLong(std::string_view shown, std::size_t length) {
  Fail(Concat({"Error 1002: Profile ", shown, " is missing... Its name has ", std::to_string(length),
               " characters, more than the ", std::to_string(decltype(Request::ProfileName)::kCapacity),
               " a profile name may have."}));
}

// The length of the profile's file name as given, also where its field cut it.
std::size_t WholeNameLength(const Request& request) {
  std::string_view given = request.ProfileGiven;
  std::size_t split = given.find_last_of("\\/");
  return split == std::string_view::npos || split == 0 ? given.size() : given.size() - split - 1;
}

// Whether `path` starts at a drive, a drive root or a share (natively at
// the root), rather than in the working directory.
bool FromRoot(std::string_view path) {
  return (!path.empty() && (path[0] == '\\' || path[0] == '/')) || (path.size() > 1 && path[1] == ':');
}

[[noreturn]] void ProfileMissing(std::string_view shown, const SearchTrail& trail) {
  std::string where = Concat({" Looked in ", Listed(trail.folders), "."});
  std::string hint;
  if (!trail.hint_read)
    hint = Concat({" ", kPrtgHintFile, " was not found; write PRTG's folder into it."});
  else if (trail.hint_folder.empty())
    hint = Concat({" ", kPrtgHintFile, " names no folder", trail.hint_line_not_taken.empty() ? "" : ": ",
                   trail.hint_line_not_taken, "."});
  else
    hint = Concat({" ", kPrtgHintFile, " names ", trail.hint_folder,
                   trail.hint_line_not_taken.empty() ? "" : "; ", trail.hint_line_not_taken, "."});
  Fail(Concat({"Error 1002: Profile ", shown, " is missing...", trail.hint_read ? hint : where,
               trail.hint_read ? where : hint}));
}

// The directory that the PRTG hint file names, narrowed to the custom-sensor
// directory below it where the profile is found there.
void ApplyPrtgHint(const Request& request, ProfileLocation& location, File hint, SearchTrail& trail) {
  trail.hint_read = true;
  LineReader reader(hint.get(), kHintLineLength);
  std::string_view piece;
  for (std::size_t number = 1; reader.Next(&piece); ++number) {
    std::string_view line = WithoutLineEnd(piece);
    if (NamesDirectory(line)) {
      location.ProfileDirectory = line;
      trail.hint_folder = Concat({line, " (line ", std::to_string(number), ")"});
    } else if (line.find_first_not_of(" \t") != std::string_view::npos && trail.hint_line_not_taken.empty()) {
      trail.hint_line_not_taken = NotTaken(line, number);
    }
  }
  hint.reset();
  if (location.ProfileDirectory.empty() || location.ProfileDirectory.view().back() != '\\') location.ProfileDirectory += '\\';

  for (std::string_view sub : {kPrtgSubdirectory, kSensorSubdirectory}) {
    FixedText<Path::kCapacity + 1 + 64> directory(location.ProfileDirectory);
    directory += sub;
    if (directory.size() <= Path::kCapacity && OpenCandidate(request, location, directory, &trail))
      location.ProfileDirectory = directory;
  }
  std::string path = Concat({location.ProfileDirectory, request.ProfileName});
  if (path.size() > Path::kCapacity) PathTooLong(request.ProfileName, path.size());
  if (!OpenCandidate(request, location, location.ProfileDirectory, &trail)) ProfileMissing(request.ProfileName, trail);
}

// The path check of mode EXEXML: the directory must end in "ExeXml\" (any case).
bool InSensorDirectory(std::string_view directory) {
  return directory.size() >= 7 && EqualsIgnoringCase(directory.substr(directory.size() - 7, 6), "EXEXML");
}

[[noreturn]] void InvalidPathUsage(std::string_view name, std::string_view directory, bool hint_read) {
  if (!hint_read)
    Fail(Concat({"Sorry, invalid Path-Usage... Profile ", name, " was found in ", Shown(directory),
                 ", not in PRTG's Custom Sensors\\EXEXML folder: start the sensor from another folder, or write "
                 "PRTG's folder into ",
                 kPrtgHintFile, "."}));
  Fail(Concat({"Sorry, invalid Path-Usage... Profile ", name, " was found in ", Shown(directory), ", which ",
               kPrtgHintFile, " names, not in PRTG's Custom Sensors\\EXEXML folder: let ", kPrtgHintFile,
               " name PRTG's folder."}));
}

}  // namespace

ProfileLocation LocateProfile(const Request& request) {
  ProfileLocation location;
  if (request.Mode != CallerMode::kExeXml || Contains(request.Params.ParameterKeys(), "@")) {
    location.ProfileDirectory = request.ProfileDirectory;
    location.Profile = OpenCandidate(request, location, location.ProfileDirectory);
    if (request.ProfileNameCut) NameTooLong(location.ProfilePath, WholeNameLength(request));
    if (request.ProfileGiven.size() > Path::kCapacity) PathTooLong(location.ProfilePath, request.ProfileGiven.size());
    if (!location.Profile)
      Fail(Concat({"Error 1002: Profile ", location.ProfilePath, " is missing... Not found",
                   FromRoot(location.ProfilePath) ? "" : Concat({" from ", Shown("")}), "."}));
    return location;
  }

  // PRTG directory search: the directory given with the name is not used.
  if (request.ProfileNameCut) NameTooLong(request.ProfileName, WholeNameLength(request));
  SearchTrail trail;
  if (File hint = File::OpenRead(kPrtgHintFile)) ApplyPrtgHint(request, location, std::move(hint), trail);

  // The hint's folder is tried (and so recorded) by ApplyPrtgHint already.
  location.Profile = OpenCandidate(request, location, location.ProfileDirectory, trail.hint_read ? nullptr : &trail);
  for (std::string_view fallback : kFallbackDirectories) {
    if (location.Profile) break;
    location.ProfileDirectory = fallback;
    location.Profile = OpenCandidate(request, location, location.ProfileDirectory, &trail);
  }
  if (!location.Profile) ProfileMissing(request.ProfileName, trail);

  if (!InSensorDirectory(location.ProfileDirectory))
    InvalidPathUsage(request.ProfileName, location.ProfileDirectory, trail.hint_read);
  return location;
}

}  // namespace poolmetrics
