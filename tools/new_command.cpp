// new NAME: a profile by questions, each answer checked as the profile
// reader checks its line, written as a new file and then checked whole.
#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/file_system.h"
#include "base/text.h"
#include "tools/answer_input.h"
#include "tools/commands.h"
#include "tools/password_entry.h"
#include "tools/profile_argument.h"
#include "tools/shown_text.h"
#include "tools/stored_password.h"

namespace poolmetrics {
namespace {

// What an empty answer takes.
enum class Proposal {
  kNone,
  kFixed,         // the question's own text
  kProfileStem,   // the profile's name without its extension, where it may be a destination
  kHostname,      // the answer to Hostname
  kSapgwOfSysnr,  // "sapgw" and the answer to Sysnr
};

// The lines of a profile in the order they are asked for: the label (the
// line's first 12 characters), the name the question uses, and what an
// empty answer takes.
struct Question {
  std::string_view label;
  std::string_view name;
  Proposal proposal = Proposal::kNone;
  std::string_view fixed = {};
};
constexpr Question kQuestions[] = {
    {"Extcompany.:", "Extcompany"},
    {"Destination:", "Destination", Proposal::kProfileStem},
    {"Client.....:", "Client"},
    {"User.......:", "User"},
    {"Password...:", "Password"},
    {"Language...:", "Language", Proposal::kFixed, "E"},
    {"Mode.......:", "Mode", Proposal::kFixed, "R/3"},
    {"Hostname...:", "Hostname"},
    {"Sysnr......:", "Sysnr", Proposal::kFixed, "00"},
    {"Gwhost.....:", "Gwhost", Proposal::kHostname},
    {"Gwservice..:", "Gwservice", Proposal::kSapgwOfSysnr},
};
constexpr std::string_view kPasswordLabel = "Password...:";

void Complain(std::string_view text) { std::fprintf(stderr, "PoolMetricsProfile: %s\n", Shown(text).c_str()); }

// The input ended before the profile was complete.
struct InputEnded {};

// Asks for one value until the profile reader would accept it; an empty
// answer takes `proposal` where there is one.
std::string AskValue(const Question& question, std::string_view proposal) {
  std::string prompt(question.name);
  if (!proposal.empty()) prompt += Concat({" [", Shown(proposal), "]"});
  prompt += ": ";
  for (;;) {
    std::optional<std::string> answer = Ask(prompt);
    if (!answer) throw InputEnded{};
    std::string value = answer->empty() ? std::string(proposal) : *answer;
    std::vector<ProfileFault> faults = CheckProfileValue(question.label, value);
    if (faults.empty()) return value;
    for (const ProfileFault& fault : faults) Complain(fault.detail);
  }
}

// Asks for the password twice, not shown at a terminal, until both agree
// and it can be stored; returns its stored form.
std::string AskPassword() {
  for (;;) {
    std::optional<std::string> password = ReadPassword("Password: ");
    if (!password) throw InputEnded{};
    if (std::optional<std::string> refusal = PasswordRefusal(*password)) {
      Complain(*refusal);
      continue;
    }
    std::optional<std::string> again = ReadPassword("Password again: ");
    if (!again) throw InputEnded{};
    if (*again != *password) {
      Complain("the two passwords differ; once more");
      continue;
    }
    std::string stored = MakeStoredPassword(*password);
    if (!stored.empty()) return stored;
    Complain("this password cannot be stored");
  }
}

// The profile's name without its directory and extension: the destination
// it most likely names.
std::string_view StemOf(std::string_view file_name) {
  std::size_t point = file_name.rfind('.');
  return point == std::string_view::npos ? file_name : file_name.substr(0, point);
}

}  // namespace

int NewCommand(const char* name) {
  Request request = ProfileRequest(name);
  if (std::string why = NoSystemProfile(request); !why.empty()) {
    Complain(why);
    return 1;
  }
  std::string path = GivenProfilePath(request);
  // Asked before the questions, so that no answers are typed in vain; the
  // file is created new in any case, never overwritten.
  if (IdentityOf(path.c_str())) {
    Complain(Concat({path, " exists already: it is not overwritten (remove it, or choose another name)"}));
    return 1;
  }

  std::string profile;
  try {
    std::string hostname, sysnr;
    for (const Question& question : kQuestions) {
      std::string value;
      if (question.label == kPasswordLabel) {
        value = AskPassword();
      } else {
        std::string proposal;
        switch (question.proposal) {
          case Proposal::kNone: break;
          case Proposal::kFixed: proposal = question.fixed; break;
          case Proposal::kProfileStem:
            if (CheckProfileValue(question.label, StemOf(request.ProfileName)).empty())
              proposal = StemOf(request.ProfileName);
            break;
          case Proposal::kHostname: proposal = hostname; break;
          case Proposal::kSapgwOfSysnr: proposal = "sapgw" + sysnr; break;
        }
        value = AskValue(question, proposal);
      }
      if (question.label == "Hostname...:") hostname = value;
      if (question.label == "Sysnr......:") sysnr = value;
      profile += Concat({question.label, " ", value, "\n"});
    }
  } catch (const InputEnded&) {
    Complain("the input ended before every value was given: no profile written");
    return 1;
  }

  File file = File::CreateNew(path.c_str());
  if (!file) {
    Complain(Concat({path, " cannot be created (it exists by now, or its folder cannot take it)"}));
    return 1;
  }
  bool written = std::fwrite(profile.data(), 1, profile.size(), file.get()) == profile.size();
  written = std::fclose(file.release()) == 0 && written;
  if (!written) {
    Complain(Concat({path, " could not be written whole: check it, or remove it and try again"}));
    return 1;
  }
  return CheckCommand(path.c_str(), UserAndPassword::kFromProfile);
}

}  // namespace poolmetrics
