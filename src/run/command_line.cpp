#include "run/command_line.h"

#include <string>

#include "base/text.h"
#include "base/time_of_day.h"
#include "run/profile_location.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

// A name without a three-character extension gets ".P00": the fourth-last
// character must be the point.
void AppendDefaultExtension(std::string& name) {
  if (name.size() < 4 || name[name.size() - 4] != '.') name += ".P00";
}

bool NamesGlobalFile(std::string_view name) { return EqualsIgnoringCase(name, "GLOBAL.P00"); }

// The run control of the arguments after the two parameter words.
RunControl ExtraRunControl(int argc, const char* const* argv) {
  // Appended in place: time in proportion to their length, however many.
  std::string extra;
  for (int i = 4; i < argc; ++i) {
    if (i > 4) extra += ' ';
    extra += argv[i];
  }
  std::string keys = extra;
  UpperCaseInPlace(keys);
  return ReadRunControl(extra, keys);
}

}  // namespace

Request ReadCommandLine(int argc, const char* const* argv) {
  Request request;
  request.StartTime = std::time(nullptr);
  request.Mode = CallerModeFromProgramName(argc > 0 && argv[0] ? argv[0] : "");
  if (argc == 3 && argv[1] == kChildMark) {
    request.ChildTask = argv[2];
    return request;
  }
  if (argc < 2) Fail("Error 1001: Parameter for Profile-Name is missing !");
  request.Console = ConsoleRequestOf(argv[1]);
  if (request.Console != ConsoleRequest::kNone) return request;

  // The profile argument is normalised in full before it is split into its
  // fields, so a long directory never cuts the file name.
  std::string profile = argv[1];

  request.FirstWord = argc > 2 ? argv[2] : "";
  std::string words = request.FirstWord;
  if (argc > 3) words = Concat({words, " ", argv[3]});
  request.Params = ReadParameters(words);
  request.Params.Values.run = FirstGiven(request.Params.Values.run, ExtraRunControl(argc, argv));
  // A deadline or a width that cannot be kept is refused before anything is
  // looked up or connected.
  if (request.Params.Values.run.fault) Fail(*request.Params.Values.run.fault);

  std::size_t item = request.Params.ParameterKeys().find("ITEM=");
  if (item != std::string_view::npos) {
    request.GlobalMode = true;
    // Case as typed: the keys are the text upper-cased, position for position.
    request.ItemName = ItemNameOf(From(request.Params.ParameterText(), item + 5));
    profile = kItemProfile;
  }

  AppendDefaultExtension(profile);
  bool global_file = NamesGlobalFile(profile);

  constexpr std::string_view kProgressMarks = "#@$%";
  request.ShowProgress = request.Params.ParameterKeys().find_first_of(kProgressMarks) != std::string_view::npos;

  // Directory split: a name whose only backslash is its first character
  // stays a path from the drive root. Natively "/" separates as well.
  std::size_t split = profile.find_last_of("\\/");
  std::string directory;
  if (split != std::string::npos && split != 0) {
    directory = profile.substr(0, split + 1);
    request.ProfileDirectory = directory;
    profile.erase(0, split + 1);
  }
  request.ProfileName = profile;
  request.ProfileNameCut = profile.size() > request.ProfileName.kCapacity;
  if (global_file || NamesGlobalFile(profile)) {
    request.GlobalMode = true;
    request.ProfileName = kGlobalSensorFile;
    request.ProfileNameCut = false;
  }
  request.ProfileGiven = Concat({directory, request.ProfileNameCut ? std::string_view(profile) : request.ProfileName.view()});
  return request;
}

}  // namespace poolmetrics
