#include "frame/budget.h"

namespace matcalc {

BudgetNeeds TotalNeeds(const WorkEstimate& estimate, double text_bytes, double reading_bytes,
                       const FrontEndCosts& front_end) {
  BudgetNeeds needs;
  // The text and the front end's copies of it stay for the whole run. The
  // readers' copies are gone before the trace is written; the trace is
  // reserved whole (the result pane never grows by copying), so it is there
  // once, plus the front end's copies.
  const double reading = reading_bytes;
  const double tracing = estimate.trace_bytes * (1 + front_end.trace_copies);
  needs.bytes = kProgramBytes + front_end.held_bytes + front_end.clipboard_bytes + estimate.bytes +
                text_bytes * (1 + front_end.text_copies) + (reading > tracing ? reading : tracing);
  needs.nanoseconds =
      estimate.nanoseconds + estimate.trace_bytes * kTraceByteNs + text_bytes * kTextByteNs;
  return needs;
}

bool FitsBudget(const BudgetNeeds& needs, double work_scale) {
  return needs.bytes <= kMemoryBudgetBytes &&
         needs.nanoseconds * work_scale <= kWorkBudgetNanoseconds;
}

}  // namespace matcalc
