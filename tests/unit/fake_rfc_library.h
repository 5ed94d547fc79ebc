// A scripted RFC library for the tests of the run flow and the global loop:
// each destination answers as its script says, and every open, call and
// close is recorded.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "rfc/session.h"

namespace poolmetrics {

struct FakeSystem {
  enum class Answer { kFigures, kRefused, kOpenBlock, kCallFailure, kCallBlock };
  Answer answer = Answer::kFigures;
  std::int32_t figure = 0;  // PXA_INFO.GAPS, so that a document shows whose figures it holds
  CallFailure failure;
};

class FakeRfcLibrary final : public RfcLibrary {
 public:
  std::map<std::string, FakeSystem> systems;  // by destination; others refuse the logon
  std::vector<std::string> log;               // "open PRD", "call PRD", "close PRD", "file PRD"
  bool report_destination_file = false;

  std::string FileName() const override { return "fake.so"; }
  std::string TraceFile() const override { return "fake_trace.log"; }
  bool CarriesText(std::string_view) const override { return true; }

  OpenOutcome Open(const LogonDescription& logon, SessionEvents& events) override {
    std::string name(logon.destination);
    log.push_back("open " + name + " " + std::string(logon.hostname) + ":" + std::string(logon.sysnr));
    if (report_destination_file) events.DestinationFileUsed(name);
    auto it = systems.find(name);
    if (it == systems.end() || it->second.answer == FakeSystem::Answer::kRefused) return OpenFailure{};
    if (it->second.answer == FakeSystem::Answer::kOpenBlock)
      return OpenFailure{ErrorBlock{"RfcOpen", "KEY", "", "", ""}, false, ""};
    return std::make_unique<FakeSession>(*this, name, it->second);
  }

 private:
  class FakeSession final : public Session {
   public:
    FakeSession(FakeRfcLibrary& library, std::string name, const FakeSystem& system)
        : library_(library), name_(std::move(name)), system_(system) {}
    ~FakeSession() override { library_.log.push_back("close " + name_); }

    CallOutcome CallSummaryStatistic() override {
      library_.log.push_back("call " + name_);
      switch (system_.answer) {
        case FakeSystem::Answer::kCallFailure: return system_.failure;
        case FakeSystem::Answer::kCallBlock: return ErrorBlock{"ItCreate TABLE_STATISTIC", "K", "S", "M", "I"};
        default: break;
      }
      auto result = std::make_shared<StatisticResult>();
      result->startup_date = "20230102";
      result->startup_time = "101530";
      result->rows[static_cast<std::size_t>(RowParameter::kPxaInfo)][0].integer = system_.figure;
      return result;
    }

   private:
    FakeRfcLibrary& library_;
    std::string name_;
    FakeSystem system_;
  };
};

}  // namespace poolmetrics
