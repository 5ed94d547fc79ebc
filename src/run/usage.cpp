#include "run/usage.h"

#include "base/text.h"
#include "output/sensor_types.h"
#include "run/progress.h"

namespace poolmetrics {

ConsoleRequest ConsoleRequestOf(std::string_view first_argument) {
  if (first_argument == "--help" || first_argument == "-h" || first_argument == "/?") return ConsoleRequest::kHelp;
  if (first_argument == "--version") return ConsoleRequest::kVersion;
  return ConsoleRequest::kNone;
}

std::string UsageText() {
  std::string text =
      "usage: PoolMetrics PROFILE [WORD1 [WORD2]] [KEYWORD ...]\n"
      "       PoolMetrics --help | --version\n"
      "\n"
      "PROFILE   the profile of one SAP system (PRD means PRD.P00); GLOBAL: the global sensor file\n"
      "          \"SAP Overseer.Gbl\"; in mode EXEXML it is looked for in PRTG's Custom Sensors\\EXEXML folder\n"
      "WORD1/2   the sensor type and keywords, joined by blanks or commas (PRD TOTAL-ROWS,CACHE=55)\n"
      "\n"
      "keywords:\n"
      "  ,HOST=name ,NO=nn   log on to this host and system number instead of the profile's\n"
      "  ITEM=name           a global run over the systems the item profile Overseer.Prf lists\n"
      "  CH=n                mode Quillon: only the value of channel n\n"
      "  TIMEOUT=n           the run's deadline in seconds, 1 to 900 (PRTG modes: 50 by default)\n"
      "  PARALLEL=n          a global run handles up to n systems at once, 1 to 64\n"
      "  CACHE=n             runs on this machine share one answer per system for n seconds, 1 to 3600\n"
      "  CREDENTIALS=WINDOWS or =LINUX\n"
      "                      user and password from PRTG's environment variables, not the profile\n"
      "  TIMES               adds the channels \"Logon time\" and \"Call time\"\n"
      "  LIMITS              PRTG XML modes: SAP's guidelines as channel limits, \"EM in use\", \"Failed systems\"\n"
      "  # @ $ %             progress lines (in mode EXEXML on standard error); @ also: the profile's\n"
      "                      own folder instead of PRTG's\n"
      "\n"
      "sensor types:\n";
  for (const SensorType& type : kSensorTypes) {
    std::string_view header = type.header;
    if (header.substr(0, 2) == ") ") header.remove_prefix(2);
    if (header.size() >= 2 && header.substr(header.size() - 2) == ", ") header.remove_suffix(2);
    std::string line = Concat({"  ", type.keyword});
    line.resize(21, ' ');
    text += Concat({line, header, "\n"});
  }
  text +=
      "\n"
      "caller modes, chosen by the program's file name (Holdrun.exe, PoolMetrics-Quillon.exe):\n"
      "  EXEXML (any other name)  PRTG's EXE/XML document, the profile from PRTG's folder\n"
      "  Holdrun, Varnock         the same document, the profile from the folder given with its name\n"
      "  Brennick                 Message.KEY and Statistic.KEY lines\n"
      "  Quillon                  \"> label: value unit\" lines, or with CH=n the bare value\n"
      "\n"
      "Exit status 0: the document; 2: an error document; 1: an RFC error block.\n";
  return text;
}

std::string VersionText(std::string_view library) {
  return Concat({"PoolMetrics ", kProgramVersion, "\nRFC library: ", library, "\n"});
}

}  // namespace poolmetrics
