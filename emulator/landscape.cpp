#include "landscape.h"

#include <cctype>
#include <limits>

#include "destination.h"
#include "function_interface.h"

namespace rfcemu {
namespace {

std::string ToLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool IsName(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return false;
  }
  return true;
}

bool ParseUnsigned(std::string_view text, unsigned long long limit, unsigned long long* number) {
  if (text.empty() || text.size() > 18) return false;
  unsigned long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value > limit) return false;
  *number = value;
  return true;
}

class Parser {
 public:
  Parser(Landscape* landscape, std::string* err) : landscape_(landscape), err_(err) {}

  bool Run(std::string_view text) {
    *landscape_ = Landscape();
    std::size_t pos = 0;
    while (pos < text.size()) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(pos, end - pos);
      pos = end + 1;
      ++line_;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (line.find('\0') != std::string_view::npos) return Fail("a zero byte in the line");
      line = Trim(line);
      if (line.empty() || line[0] == '#' || line[0] == ';') continue;
      if (!(line[0] == '[' ? Section(line) : Setting(line))) return false;
    }
    return FinishSystem();
  }

 private:
  enum class Where { kNowhere, kLandscape, kSystem };

  bool Fail(const std::string& message) {
    *err_ = "line " + std::to_string(line_) + ": " + message;
    return false;
  }

  bool Section(std::string_view line) {
    if (line.back() != ']') return Fail("a section header ends with ']'");
    if (!FinishSystem()) return false;
    const std::string_view inner = Trim(line.substr(1, line.size() - 2));
    const std::size_t blank = inner.find_first_of(" \t");
    const std::string kind = ToLower(inner.substr(0, blank));
    const std::string_view name = blank == std::string_view::npos ? std::string_view() : Trim(inner.substr(blank));
    seen_.clear();
    if (kind == "landscape" && name.empty()) {
      where_ = Where::kLandscape;
      return true;
    }
    if (kind != "system") {
      return Fail("unknown section [" + std::string(inner) + "]; use [landscape] or [system NAME]");
    }
    if (!IsName(name)) return Fail("a system is named by letters, digits, '_' and '-'");
    for (const EmulatedSystem& other : landscape_->systems) {
      if (EqualsIgnoreCase(other.name, name)) {
        return Fail("system " + std::string(name) + " is defined twice");
      }
    }
    where_ = Where::kSystem;
    system_ = EmulatedSystem();
    system_.name = std::string(name);
    system_.line = line_;
    return true;
  }

  bool Setting(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return Fail("expected 'key = value'");
    const std::string_view key = Trim(line.substr(0, equals));
    std::string_view value = Trim(line.substr(equals + 1));
    if (!value.empty() && value[0] == '"') {
      if (value.size() < 2 || value.back() != '"') return Fail("a quoted value ends with '\"'");
      value = value.substr(1, value.size() - 2);
    }
    if (key.empty()) return Fail("a setting needs a key before '='");
    switch (where_) {
      case Where::kNowhere: return Fail("settings belong in a [landscape] or [system NAME] section");
      case Where::kLandscape:
        if (ToLower(key) != "journal") return Fail("unknown landscape setting '" + std::string(key) + "'");
        if (!Once("journal")) return false;
        landscape_->journal = std::string(value);
        return true;
      case Where::kSystem: return SystemSetting(key, value);
    }
    return false;
  }

  // Rejects a second occurrence of a single-valued key in one section.
  bool Once(const std::string& key) {
    if (!seen_.insert(key).second) return Fail("'" + key + "' is given twice");
    return true;
  }

  bool SystemSetting(std::string_view key_text, std::string_view value) {
    const std::size_t blank = key_text.find_first_of(" \t");
    const std::string key = ToLower(key_text.substr(0, blank));
    if (blank != std::string_view::npos) {
      const std::string name = ToUpper(Trim(key_text.substr(blank)));
      if (key == "value") return Value(name, value);
      if (key == "rows") return Rows(name, value);
      return Fail("unknown setting '" + std::string(key_text) + "'");
    }
    if (key == "trace_at_open") {
      system_.trace_at_open.emplace_back(value);
      return true;
    }
    if (key == "trace_at_call") {
      system_.trace_at_call.emplace_back(value);
      return true;
    }
    if (key == "print_at_open") {
      system_.print_at_open.emplace_back(value);
      return true;
    }
    if (key == "print_at_call") {
      system_.print_at_call.emplace_back(value);
      return true;
    }
    if (!Once(key)) return false;
    EmulatedSystem& s = system_;
    if (key == "ashost") return Text(value, &s.ashost);
    if (key == "gwhost") return Text(value, &s.gwhost);
    if (key == "gwserv") {
      s.gwserv = NormalizeGatewayService(value);
      return true;
    }
    if (key == "sysnr") {
      s.sysnr = ParseSystemNumber(value);
      return s.sysnr >= 0 || Fail("sysnr is a system number 00 to 99");
    }
    if (key == "client") return Text(value, &s.client);
    if (key == "user") return Text(value, &s.user);
    if (key == "password") {
      s.password = std::string(value);
      return true;
    }
    if (key == "refuse_logon") return YesNo(value, &s.refuse_logon);
    if (key == "error_handler") return Point(key, value, &s.error_handler);
    if (key == "process_ends") return Point(key, value, &s.process_ends);
    if (key == "error_operation") return Text(value, &s.error_operation);
    if (key == "error_key") return Text(value, &s.error.key);
    if (key == "error_status") return Text(value, &s.error.status);
    if (key == "error_message") return Text(value, &s.error.message);
    if (key == "error_intstat") return Text(value, &s.error.intstat);
    if (key == "call_rc") return ReturnCode(value, &s.call_rc);
    if (key == "receive_rc") return ReturnCode(value, &s.receive_rc);
    if (key == "exception") {
      s.has_exception = true;
      s.exception = std::string(value);
      return true;
    }
    if (key == "itcreate_fails") return Tables(value, &s.itcreate_fails);
    if (key == "itdelete_fails") return Tables(value, &s.itdelete_fails);
    if (key == "invoke_rc") {
      unsigned long long code = 0;
      if (!ParseUnsigned(value, 30, &code)) return Fail("invoke_rc is a NetWeaver return code 0 to 30");
      s.invoke_rc = static_cast<int>(code);
      return true;
    }
    if (key == "function_not_found") return YesNo(value, &s.function_not_found);
    if (key == "delay_ms") return Delay(key, value, &s.delay_ms);
    if (key == "logon_delay_ms") return Delay(key, value, &s.logon_delay_ms);
    return Fail("unknown setting '" + std::string(key_text) + "'");
  }

  bool Point(const std::string& key, std::string_view value, EmulatedSystem::HandlerPoint* point) {
    const std::string word = ToLower(value);
    if (word == "open")
      *point = EmulatedSystem::HandlerPoint::kOpen;
    else if (word == "call")
      *point = EmulatedSystem::HandlerPoint::kCall;
    else if (word == "never")
      *point = EmulatedSystem::HandlerPoint::kNever;
    else
      return Fail(key + " is open, call or never");
    return true;
  }

  bool Text(std::string_view value, std::string* field) {
    *field = std::string(value);
    return true;
  }

  bool Delay(const std::string& key, std::string_view value, unsigned* ms) {
    unsigned long long number = 0;
    if (!ParseUnsigned(value, kMaxDelayMs, &number)) {
      return Fail(key + " is 0 to " + std::to_string(kMaxDelayMs) + " milliseconds");
    }
    *ms = static_cast<unsigned>(number);
    return true;
  }

  bool YesNo(std::string_view value, bool* flag) {
    const std::string word = ToLower(value);
    if (word == "yes")
      *flag = true;
    else if (word == "no")
      *flag = false;
    else
      return Fail("expected yes or no");
    return true;
  }

  bool ReturnCode(std::string_view value, int* code) {
    unsigned long long number = 0;
    if (!ParseUnsigned(value, static_cast<unsigned long long>(std::numeric_limits<int>::max()), &number)) {
      return Fail("a return code is a whole number from 0");
    }
    *code = static_cast<int>(number);
    return true;
  }

  bool Tables(std::string_view value, TableSelection* selection) {
    *selection = TableSelection();
    std::size_t pos = 0;
    while (pos < value.size()) {
      std::size_t end = value.find_first_of(" \t,", pos);
      if (end == std::string_view::npos) end = value.size();
      const std::string word = ToUpper(value.substr(pos, end - pos));
      pos = end + 1;
      if (word.empty()) continue;
      if (word == "ALL") {
        selection->all = true;
      } else if (IsTableName(word)) {
        selection->names.insert(word);
      } else {
        return Fail(word + " is not a table of " + std::string(kFunctionName));
      }
    }
    return !selection->empty() || Fail("name the tables, or all");
  }

  bool Value(const std::string& name, std::string_view text) {
    const std::size_t dot = name.find('.');
    const std::string parameter_name = name.substr(0, dot);
    const std::string field_name = dot == std::string::npos ? "" : name.substr(dot + 1);
    const ImportingParameter* parameter = FindImportingParameter(parameter_name);
    if (parameter == nullptr) {
      return Fail(parameter_name + " is not an importing parameter of " + std::string(kFunctionName));
    }
    const DictionaryField* field = FindField(*parameter, field_name);
    if (field == nullptr) {
      if (!parameter->structure.empty() && field_name.empty()) {
        return Fail(parameter_name + " is a structure (" + std::string(parameter->structure) +
                    "): give its fields as " + parameter_name + ".FIELD");
      }
      return Fail(parameter_name + " has no field " + field_name);
    }
    FieldValue parsed;
    std::string why;
    if (!ParseFieldValue(text, field->type, field->length, &parsed, &why)) {
      return Fail(name + ": " + why);
    }
    if (!system_.values.emplace(name, parsed).second) return Fail(name + " is given twice");
    return true;
  }

  bool Rows(const std::string& table, std::string_view text) {
    if (!IsTableName(table)) {
      return Fail(table + " is not a table of " + std::string(kFunctionName));
    }
    unsigned long long count = 0;
    if (!ParseUnsigned(text, 1000000, &count)) return Fail("a row count is 0 to 1000000");
    if (!system_.rows.emplace(table, static_cast<unsigned>(count)).second) {
      return Fail("rows " + table + " is given twice");
    }
    return true;
  }

  // Checks the system just read and applies its address defaults.
  bool FinishSystem() {
    if (where_ != Where::kSystem) return true;
    where_ = Where::kNowhere;
    EmulatedSystem& s = system_;
    auto fail = [&](const std::string& message) {
      *err_ = "line " + std::to_string(s.line) + ": system " + s.name + ": " + message;
      return false;
    };
    if (!seen_.count("client")) return fail("client is missing");
    if (!seen_.count("user")) return fail("user is missing");
    if (!seen_.count("password")) return fail("password is missing");
    if (s.ashost.empty() && s.gwhost.empty()) return fail("give ashost (with sysnr) or gwhost");
    if (!s.ashost.empty() && !seen_.count("sysnr")) return fail("ashost is given without sysnr");
    if (s.gwhost.empty()) s.gwhost = s.ashost;
    if (s.gwserv.empty()) {
      if (!seen_.count("sysnr")) return fail("gwhost is given without gwserv or sysnr");
      s.gwserv = "sapgw" + std::string(s.sysnr < 10 ? "0" : "") + std::to_string(s.sysnr);
    }
    for (const EmulatedSystem& other : landscape_->systems) {
      if (!s.ashost.empty() && EqualsIgnoreCase(other.ashost, s.ashost) && other.sysnr == s.sysnr) {
        return fail("application server " + s.ashost + " " + std::to_string(s.sysnr) + " is already system " +
                    other.name);
      }
      if (EqualsIgnoreCase(other.gwhost, s.gwhost) && other.gwserv == s.gwserv) {
        return fail("gateway " + s.gwhost + " " + s.gwserv + " is already system " + other.name);
      }
    }
    landscape_->systems.push_back(std::move(system_));
    return true;
  }

  Landscape* landscape_;
  std::string* err_;
  int line_ = 0;
  Where where_ = Where::kNowhere;
  EmulatedSystem system_;
  std::set<std::string> seen_;
};

}  // namespace

bool ParseLandscape(std::string_view text, Landscape* landscape, std::string* err) {
  return Parser(landscape, err).Run(text);
}

}  // namespace rfcemu
