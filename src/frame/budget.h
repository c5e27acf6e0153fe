// The budgets a command is held to before it starts: about 1 GiB of memory
// and about a minute of work on a modest machine. Every command estimates
// what it needs for the order it was given; the frame adds the edit pane's
// text, the copies the readers make of it and the copies the front end keeps
// of the text and the trace, and refuses the order when the sum exceeds a
// budget. The unit costs are measured by bench/calibrate.py.
#pragma once

#include <string_view>

namespace matcalc {

inline constexpr std::string_view kOrderTooLargeText = "阶数太大，超出了本程序的计算能力。";
// The exact mode's refusal of a matrix whose fractions would outgrow the
// budgets.
inline constexpr std::string_view kNumbersTooLongText = "数字太长，超出了本程序的计算能力。";
// The refusal when the order alone would fit and what the result pane holds
// from before is what leaves no room: the user can do something about that.
inline constexpr std::string_view kPaneTooFullText =
    "结果区中的内容太多，请先新建或清空结果区再计算。";
// The refusal when the edit pane's text, not the order, is what does not fit.
inline constexpr std::string_view kTextTooLargeText = "文本太大，超出了本程序的计算能力。";

// What a command needs at most for one order, apart from the text and the
// front end's copies.
struct WorkEstimate {
  double bytes = 0;        // arrays and other memory of its own
  double trace_bytes = 0;  // the trace at its longest
  double nanoseconds = 0;  // its work on the development machine, the trace's numbers included
  // The points it records in the convergence log at most (for the charts and
  // the series file); counted only where a front end keeps the log.
  double series_points = 0;
};

// What a front end keeps beside what the frame sees while a command runs:
// whole copies of the edit pane's text (the frame's own view of it not
// counted) and of the result pane's trace (the pane itself not counted), and
// the memory it holds from before the command until the command ends (the
// result pane as it was, kept to be given back when the command is stopped).
// `work_scale` is the device's time for a nanosecond of the development
// machine (MeasureWorkScale): the estimated work is scaled by it before it
// is weighed against the work budget. `clipboard_bytes`: memory the front
// end holds for the whole run apart from the panes, a copy of a selection it
// put on the clipboard.
struct FrontEndCosts {
  double text_copies = 0;
  double trace_copies = 0;
  double held_bytes = 0;
  double work_scale = 1;
  double clipboard_bytes = 0;
  // What the front end makes of each point of the convergence log beside
  // the log itself (a row of the series file, say), in memory and in work.
  double series_point_bytes = 0;
  double series_point_ns = 0;
};

inline constexpr double kMemoryBudgetBytes = 1024.0 * 1024.0 * 1024.0;
// 25 s of processor time on the development machine: about a minute on a
// modest one, and room for a machine busy with other work (where one of two
// cores is left, the wall clock shows twice the processor time and more).
inline constexpr double kWorkBudgetNanoseconds = 25e9;

// Unit costs on the development machine (processor time of one core of an
// x86-64 with AVX-512; bench/calibrate.py sets the estimates beside the
// measured runs).
// One multiply-add of the blocked rounded product.
inline constexpr double kProductNs = 0.12;
// One multiply-add of a plain loop (eliminations, substitutions, pivot search).
inline constexpr double kLoopNs = 1.2;
// One rounding to a number of places at its worst: a value near a decimal
// tie or with a scaled magnitude of 2^40 and more, which takes the integer
// path (bench/bench_rounding: 7.5 to 9 ns; the common value takes 3.5 ns).
inline constexpr double kRoundNs = 10;
// The exact mode: one update of two fractions (a product, a difference, their
// reductions to lowest terms) costs a fixed part and a part per square of
// their 64-bit words; writing one decimal digit of a big integer.
inline constexpr double kExactUpdateNs = 400;
inline constexpr double kExactWordNs = 60;
inline constexpr double kExactDigitNs = 20;
// Writing one byte of trace (number text, fields, line breaks).
inline constexpr double kTraceByteNs = 3;
// Reading one byte of the edit pane's text into numbers, every entry an
// expression at worst.
inline constexpr double kTextByteNs = 40;

// Memory beside the estimate: the program itself, and the copies of the text
// the matrix readers hold while they cut it into entries (before any trace is
// written): one normalised copy, as TextReadingBytes says exactly.
inline constexpr double kProgramBytes = 4.0 * 1024 * 1024;
inline constexpr double kReaderTextCopies = 1;
// Memory kept free beside the longest text a front end reads, for a
// command's arrays and trace at order 1: a text that is read at all is never
// refused for the order then.
inline constexpr double kSmallestRunBytes = 1024.0 * 1024.0;

// Bytes of a Matrix(rows, cols): rows 0..rows by columns 0..cols.
inline double MatrixBytes(double rows, double cols) { return 8 * (rows + 1) * (cols + 1); }

// The longest text of a number, the longest prefix before one (five spaces),
// and a 24-character field.
inline constexpr double kNumberBytes = 22;
inline constexpr double kPrefixBytes = 5;
inline constexpr double kFieldBytes = 24;

// One point of a convergence series as the log keeps it (x and y), with the
// room its vector may have grown beyond it, and the work of recording it.
inline constexpr double kSeriesPointBytes = 32;
inline constexpr double kSeriesPointNs = 4;

// The cost of rounding `count` values to `places`: nothing beyond 15 places,
// where rounding returns the value.
inline double RoundingNs(double count, int places) { return places > 15 ? 0 : count * kRoundNs; }

// Memory and work of a whole run: the command's estimate, the text (of
// `text_bytes`, and `reading_bytes` more while the readers work on it) with
// the front end's copies, the trace with the front end's copies. The memory
// is the larger of two moments: reading the text and writing the trace.
struct BudgetNeeds {
  double bytes = 0;
  double nanoseconds = 0;
};
BudgetNeeds TotalNeeds(const WorkEstimate& estimate, double text_bytes, double reading_bytes,
                       const FrontEndCosts& front_end);
// The same with the readers' copies of a matrix text of `text_bytes`.
inline BudgetNeeds TotalNeeds(const WorkEstimate& estimate, double text_bytes,
                              const FrontEndCosts& front_end) {
  return TotalNeeds(estimate, text_bytes, text_bytes * kReaderTextCopies, front_end);
}

// Whether `needs` fit the budgets on a device `work_scale` times slower than
// the development machine.
bool FitsBudget(const BudgetNeeds& needs, double work_scale = 1);

}  // namespace matcalc
