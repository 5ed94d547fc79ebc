#include "output/sensor_evaluation.h"

#include "output/output_document.h"

namespace poolmetrics {

int EvaluateSensor(RunState& state) {
  OpenDocument(state);
  CloseDocument(state);
  state.Status = CallStatus::kOk;
  return 0;
}

}  // namespace poolmetrics
