// Long loops of the matrix routines tell how much work they have done through
// a meter, so that the layers above can show progress and stop a command that
// is no longer wanted. A meter may end the loop by throwing; the routines hold
// their arrays in owning types, so nothing leaks.
#pragma once

namespace matcalc {

class WorkMeter {
 public:
  // `work` more operations done (multiply-adds, entry updates, bytes written).
  virtual void Advance(double work) = 0;

 protected:
  ~WorkMeter() = default;
};

// Advances `meter` when there is one.
inline void Advance(WorkMeter* meter, double work) {
  if (meter != nullptr) meter->Advance(work);
}

}  // namespace matcalc
