#include "profile/system_definition.h"

#include "base/line_reader.h"
#include "base/plain_file_name.h"
#include "base/text.h"
#include "profile/password.h"

namespace poolmetrics {
namespace {

constexpr std::size_t kLabelLength = 12;
constexpr std::size_t kValueColumn = 13;  // from 0: column 13 separates label and value
constexpr std::size_t kValueLength = 60;
constexpr std::size_t kStrictLineLength = 99;
constexpr std::size_t kListingLineLength = 199;

enum class Field {
  kExtcompany,
  kDestination,
  kClient,
  kUser,
  kPassword,
  kLanguage,
  kMode,
  kHostname,
  kSysnr,
  kGwhost,
  kGwservice,
  kDatClient
};

struct Label {
  std::string_view text;
  Field field;
  std::size_t minimum;  // 0: no minimum length
  // The value names a file or a system, or logs on: cut to its field it
  // would reach another one, so a longer value is a fault. The others keep
  // what fits.
  bool must_fit;
};
constexpr Label kLabels[] = {
    {"Extcompany.:", Field::kExtcompany, 2, false}, {"Destination:", Field::kDestination, 3, true},
    {"Client.....:", Field::kClient, 3, true},      {"User.......:", Field::kUser, 2, true},
    {"Password...:", Field::kPassword, 2, false},   {"Language...:", Field::kLanguage, 1, true},
    {"Mode.......:", Field::kMode, 3, true},        {"Hostname...:", Field::kHostname, 2, true},
    {"Sysnr......:", Field::kSysnr, 2, true},       {"Gwhost.....:", Field::kGwhost, 2, true},
    {"Gwservice..:", Field::kGwservice, 2, true},   {"DatClient..:", Field::kDatClient, 0, false},
};

std::string_view FieldText(const SystemDefinition& s, Field f) {
  switch (f) {
    case Field::kExtcompany: return s.Extcompany;
    case Field::kDestination: return s.Destination;
    case Field::kClient: return s.Client;
    case Field::kUser: return s.User;
    case Field::kPassword: return s.Password;
    case Field::kLanguage: return s.Language;
    case Field::kMode: return s.Mode;
    case Field::kHostname: return s.Hostname;
    case Field::kSysnr: return s.Sysnr;
    case Field::kGwhost: return s.Gwhost;
    case Field::kGwservice: return s.Gwservice;
    case Field::kDatClient: return s.DatClient;
  }
  return {};
}

template <typename Text>
constexpr std::size_t WidthOf(const Text&) {
  return Text::kCapacity;
}

std::size_t FieldWidth(const SystemDefinition& s, Field f) {
  switch (f) {
    case Field::kExtcompany: return WidthOf(s.Extcompany);
    case Field::kDestination: return WidthOf(s.Destination);
    case Field::kClient: return WidthOf(s.Client);
    case Field::kUser: return WidthOf(s.User);
    case Field::kPassword: return WidthOf(s.Password);
    case Field::kLanguage: return WidthOf(s.Language);
    case Field::kMode: return WidthOf(s.Mode);
    case Field::kHostname: return WidthOf(s.Hostname);
    case Field::kSysnr: return WidthOf(s.Sysnr);
    case Field::kGwhost: return WidthOf(s.Gwhost);
    case Field::kGwservice: return WidthOf(s.Gwservice);
    case Field::kDatClient: return WidthOf(s.DatClient);
  }
  return 0;
}

std::size_t GivenLength(const SystemDefinition& s, Field f) { return s.GivenLength[static_cast<std::size_t>(f)]; }

bool TooLong(const SystemDefinition& s, const Label& l) {
  return l.must_fit && GivenLength(s, l.field) > FieldWidth(s, l.field);
}

// A destination names the file "SapRfc." + destination: it must stay a file
// of the working directory. (An empty one is only too short.)
bool UnsafeDestination(const SystemDefinition& s) { return !s.Destination.empty() && !IsPlainFileName(s.Destination); }

void SetField(SystemDefinition& s, Field f, std::string_view value) {
  static_assert(kValueLength <= 255, "a given length fits its byte");
  s.GivenLength[static_cast<std::size_t>(f)] = static_cast<std::uint8_t>(value.size());
  switch (f) {
    case Field::kExtcompany: s.Extcompany = value; break;
    case Field::kDestination: s.Destination = value; break;
    case Field::kClient: s.Client = value; break;
    case Field::kUser:
      s.User = value;
      UpperCaseInPlace(s.User);
      break;
    case Field::kPassword: s.Password = value; break;
    case Field::kLanguage: s.Language = value; break;
    case Field::kMode: s.Mode = value; break;
    case Field::kHostname: s.Hostname = value; break;
    case Field::kSysnr: s.Sysnr = value; break;
    case Field::kGwhost: s.Gwhost = value; break;
    case Field::kGwservice: s.Gwservice = value; break;
    case Field::kDatClient: s.DatClient = value; break;
  }
}

// The checks of one field, in their order: shorter than its minimum (an
// empty user or password is said by its own fault), longer than its field,
// a destination that is no plain file name.
void CheckField(const SystemDefinition& system, const Label& l, std::vector<ProfileFault>& faults) {
  auto fault = [&](int code, std::string detail) { faults.push_back({code, std::move(detail)}); };
  std::string_view text = FieldText(system, l.field);
  if (text.size() < l.minimum && !(l.field == Field::kUser && text.empty()) &&
      !(l.field == Field::kPassword && text.empty()))
    fault(1003, Concat({l.text, " missing or shorter than ", std::to_string(l.minimum),
                        l.minimum == 1 ? " character" : " characters"}));
  if (TooLong(system, l))
    fault(1003, Concat({l.text, " ", std::to_string(GivenLength(system, l.field)),
                        " characters, longer than its field of ", std::to_string(FieldWidth(system, l.field))}));
  if (l.field == Field::kDestination && UnsafeDestination(system))
    fault(1003, Concat({l.text, " \"", text,
                        "\" is no plain file name (it must not hold a directory, a drive, \"..\", a device name "
                        "or a character that no Windows file name can hold)"}));
}

}  // namespace

std::string ProfileFaultMessage(int code, std::string_view profile_name) {
  switch (code) {
    case 1003: return Concat({"Error 1003: Invalid Parameter(s) at ", profile_name, " found..."});
    case 1004: return Concat({"Error 1004: Invalid Password in Profile ", profile_name, " found..."});
    case 1005: return Concat({"Error 1005: Wrong Password in Profile ", profile_name, " found..."});
    case 1006: return Concat({"Error 1006: Username in Profile ", profile_name, " is missing..."});
    default: return Concat({"Error 1007: Password in Profile ", profile_name, " is missing..."});
  }
}

std::vector<ProfileFault> ReadSystemDefinition(File profile, ReadMode mode, SystemDefinition& system,
                                               UserAndPassword logon) {
  const bool strict = mode == ReadMode::kStrict;
  const bool from_profile = logon == UserAndPassword::kFromProfile;
  std::vector<ProfileFault> faults;
  LineReader reader(profile.get(), strict ? kStrictLineLength : kListingLineLength);
  std::string_view piece;
  while (reader.Next(&piece)) {
    std::string_view line = WithoutLineFeed(piece);
    std::string_view label = Head(line, kLabelLength);
    std::string_view value = From(line, kValueColumn).substr(0, kValueLength);
    for (const Label& l : kLabels) {
      if (label != l.text) continue;
      if (l.field == Field::kDatClient && !strict) break;
      // Lines whose value comes from elsewhere are not even decoded: their
      // password is never held.
      if (!from_profile && (l.field == Field::kUser || l.field == Field::kPassword)) break;
      if (l.field == Field::kPassword && !value.empty()) {
        // The password is checked as soon as its line is read; a single run
        // stops at its first fault, before the rest of the profile.
        DecodedPassword decoded = DecodeStoredPassword(value, strict);
        if (!decoded.form_ok) {
          faults.push_back({1004, "Password...: the stored form is not 24 characters with a head of four digits"});
          if (strict) return faults;
        }
        if (decoded.check_ok) {
          system.Password = decoded.plain;
        } else if (decoded.form_ok) {
          faults.push_back(
              {1005, "Password...: the stored form fails its check digit (made with another key, or altered)"});
          if (strict) return faults;
        }
        break;
      }
      SetField(system, l.field, value);
      break;
    }
  }
  profile.reset();
  std::vector<ProfileFault> checks = CheckSystemDefinition(system, logon);
  faults.insert(faults.end(), checks.begin(), checks.end());
  return faults;
}

std::vector<ProfileFault> CheckSystemDefinition(const SystemDefinition& system, UserAndPassword logon) {
  const bool from_profile = logon == UserAndPassword::kFromProfile;
  std::vector<ProfileFault> faults;
  if (from_profile && system.User.empty()) faults.push_back({1006, "User.......: missing or empty"});
  if (from_profile && system.Password.empty()) faults.push_back({1007, "Password...: missing or empty"});
  for (const Label& l : kLabels) {
    if (!from_profile && (l.field == Field::kUser || l.field == Field::kPassword)) continue;
    CheckField(system, l, faults);
  }
  return faults;
}

std::vector<ProfileFault> CheckProfileValue(std::string_view label, std::string_view value) {
  for (const Label& l : kLabels) {
    if (label != l.text) continue;
    SystemDefinition system;
    SetField(system, l.field, value.substr(0, kValueLength));
    std::vector<ProfileFault> faults;
    if (l.field == Field::kUser && value.empty()) faults.push_back({1006, "User.......: missing or empty"});
    if (l.field == Field::kPassword && value.empty()) faults.push_back({1007, "Password...: missing or empty"});
    // The reader takes no more of a line than this: the rest would be lost.
    if (value.size() > kValueLength)
      faults.push_back({1003, Concat({l.text, " ", std::to_string(value.size()),
                                      " characters, longer than the ", std::to_string(kValueLength),
                                      " that a profile line holds"})});
    CheckField(system, l, faults);
    return faults;
  }
  return {{1003, Concat({"\"", label, "\" is no label of a profile line"})}};
}

void TakeUserAndPassword(SystemDefinition& system, std::string_view user, std::string_view password) {
  SetField(system, Field::kUser, user);
  SetField(system, Field::kPassword, password);
}

bool UsableForLogon(const SystemDefinition& system) {
  for (const Label& l : kLabels)
    if (TooLong(system, l)) return false;
  return !UnsafeDestination(system);
}

}  // namespace poolmetrics
