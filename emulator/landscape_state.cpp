#include "landscape_state.h"

#include <cstdio>
#include <cstdlib>

#include "journal.h"
#include "platform.h"

namespace rfcemu {
namespace {

constexpr char kLandscapeVariable[] = "POOLMETRICS_LANDSCAPE";
constexpr char kDefaultLandscape[] = "landscape.ini";

struct State {
  std::string path;
  Landscape landscape;
  std::string error;    // empty when the file was read
  std::string text;     // the text last parsed, to skip parsing it again
  long long size = -1;  // size and modification time of the file last read
  long long mtime = -1;
};

// Never destroyed: the program's error handler ends the process from inside
// a library call, and nothing may be torn down under that call.
State& Current() {
  static State* state = new State;
  return *state;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  text->clear();
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text->append(buffer, got);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

void LoadLandscape() {
  State& state = Current();
  const char* variable = std::getenv(kLandscapeVariable);
  std::string path = variable != nullptr && *variable != '\0' ? variable : kDefaultLandscape;
  // A global run opens hundreds of connections in one process: a file whose
  // size and time are unchanged is neither read nor parsed again.
  long long size = 0;
  long long modified = 0;
  const bool stamped = FileStamp(path.c_str(), &size, &modified);
  if (stamped && path == state.path && state.size >= 0 && size == state.size && modified == state.mtime) return;
  state.size = -1;
  std::string text;
  if (!ReadWholeFile(path, &text)) {
    state.path = path;
    state.landscape = Landscape();
    state.text.clear();
    state.error = "cannot read the landscape file " + state.path;
    return;
  }
  if (stamped) {
    state.size = size;
    state.mtime = modified;
  }
  if (path == state.path && text == state.text && !text.empty()) return;
  state.path = path;
  state.landscape = Landscape();
  state.text = text;
  Landscape parsed;
  std::string err;
  if (!ParseLandscape(text, &parsed, &err)) {
    state.error = "landscape file " + state.path + ", " + err;
    return;
  }
  state.landscape = std::move(parsed);
  state.error.clear();
}

const Landscape& CurrentLandscape() { return Current().landscape; }
const std::string& LandscapeError() { return Current().error; }

bool JournalKept() { return !Current().landscape.journal.empty(); }
void Journal(const std::string& line) { AppendLine(Current().landscape.journal, line); }

const EmulatedSystem* FindSystem(const Address& address) {
  for (const EmulatedSystem& system : Current().landscape.systems) {
    if (address.kind == Address::Kind::kApplicationServer) {
      if (!system.ashost.empty() && EqualsIgnoreCase(system.ashost, address.host) && system.sysnr == address.sysnr) {
        return &system;
      }
    } else if (EqualsIgnoreCase(system.gwhost, address.host) && system.gwserv == address.service) {
      return &system;
    }
  }
  return nullptr;
}

std::string DescribeAddress(const Address& address) {
  if (address.kind == Address::Kind::kGateway) return address.host + ":" + address.service;
  return address.host + ":sapgw" + (address.sysnr < 10 ? "0" : "") + std::to_string(address.sysnr);
}

std::string TrimTrailingBlanks(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

LogonVerdict CheckLogon(const EmulatedSystem& system, const std::string& client, const std::string& user,
                        const std::string& password) {
  LogonVerdict verdict;
  if (TrimTrailingBlanks(client) != TrimTrailingBlanks(system.client)) {
    verdict.message = "Client " + TrimTrailingBlanks(client) + " is not available in this system";
  } else if (system.refuse_logon) {
    verdict.by_fault = true;
    verdict.message = system.error.message.empty() ? kLogonRefused : system.error.message;
  } else if (!EqualsIgnoreCase(TrimTrailingBlanks(user), TrimTrailingBlanks(system.user)) ||
             TrimTrailingBlanks(password) != TrimTrailingBlanks(system.password)) {
    verdict.message = kLogonRefused;
  } else {
    verdict.accepted = true;
  }
  return verdict;
}

FieldValue ValueOf(const EmulatedSystem& system, const std::string& key, const DictionaryField& field) {
  auto it = system.values.find(key);
  if (it != system.values.end()) return it->second;
  return DefaultFieldValue(system.name, key, field.type, field.length);
}

void PrintThroughRuntime(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) std::printf("%s\n", line.c_str());
}

}  // namespace rfcemu
