#include "run/evaluate_sensor.h"

#include "output/sensor_evaluation.h"
#include "rfc/classic/call.h"

namespace poolmetrics {

std::string EvaluateSensor(RunState& state) {
  StatisticResult result;
  FixedText<256> exception;
  int code = CallSummaryStatistic(state.ConnectionHandle, result, exception);
  if (code != 0) {
    std::string message = CallFailureMessage(code, exception);
    if (state.GlobalMode) state.Document->Append(message);
    return message;
  }
  state.Status = CallStatus::kOk;
  WriteSensorSections(*state.Document, result, state.ParameterKeys, state.System.Destination, state.GlobalMode);
  return {};
}

}  // namespace poolmetrics
