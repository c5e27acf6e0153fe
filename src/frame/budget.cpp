#include "frame/budget.h"

namespace matcalc {

BudgetNeeds TotalNeeds(const WorkEstimate& estimate, double text_bytes,
                       const FrontEndCosts& front_end) {
  BudgetNeeds needs;
  // The trace is reserved whole before it is written (the result pane never
  // grows by copying), so it is there once, plus the front end's copies.
  needs.bytes = kProgramBytes + estimate.bytes +
                estimate.trace_bytes * (1 + front_end.trace_copies) +
                text_bytes * (1 + kReaderTextCopies + front_end.text_copies);
  needs.nanoseconds =
      estimate.nanoseconds + estimate.trace_bytes * kTraceByteNs + text_bytes * kTextByteNs;
  return needs;
}

bool FitsBudget(const BudgetNeeds& needs) {
  return needs.bytes <= kMemoryBudgetBytes && needs.nanoseconds <= kWorkBudgetNanoseconds;
}

}  // namespace matcalc
