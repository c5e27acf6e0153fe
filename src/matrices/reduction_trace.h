// The trace of a row reduction: every operation on a line of its own, and
// the matrix after the operations of each column.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frame/trace_buffer.h"
#include "matrices/grid.h"
#include "matrices/row_operations.h"

namespace matcalc {

// Every entry of `a` after four spaces, as `arithmetic` prints it; each row
// ends with CR LF.
template <typename T, typename Arithmetic>
void AppendGrid(TraceBuffer& out, const Grid<T>& a, const Arithmetic& arithmetic,
                int first_column = 1, int last_column = 0) {
  if (last_column == 0) last_column = a.cols();
  for (int i = 1; i <= a.rows(); ++i) {
    for (int j = first_column; j <= last_column; ++j) {
      out.Append("    ");
      arithmetic.Append(out, a(i, j));
    }
    out.NewLine();
  }
}

// "1, 2, 4": the pivot columns, or "无" without any.
std::string ColumnList(const std::vector<int>& columns);

// "第 2 行及以下都是零，本列没有主元。" for a column with nothing but zeros
// from row 2 down (the heading before it names the column); with `rest`, the
// rows are zero in the later columns too: "第 2 行及以下都是零，消元结束。"
std::string NoPivotText(int row, bool rest);

// Writes a reduction as Reduce goes: for each column it reaches, a heading
// "第 k 列：" over the operations and the matrix after them, or one line
// saying the column needs none or has no pivot. After Silence() nothing more
// is written.
template <typename T, typename Arithmetic>
class ReductionTrace {
 public:
  ReductionTrace(TraceBuffer& out, const Grid<T>& a, const Arithmetic& arithmetic)
      : out_(out), a_(a), arithmetic_(arithmetic) {}

  void ColumnStarts(int column) {
    column_ = column;
    operations_ = 0;
  }

  void Operation(const SwapRows& op) { Line(OperationLine(op)); }
  void Operation(const AddMultipleOfRow<T>& op) { Line(OperationLine(op, arithmetic_)); }
  void Operation(const ScaleRow<T>& op) { Line(OperationLine(op, arithmetic_)); }

  bool ColumnDone(int, bool operations) {
    if (silent_) return true;
    if (operations) {
      AppendGrid(out_, a_, arithmetic_);
    } else {
      Heading().Append("主元已在其位，无需行变换。").NewLine();
    }
    return true;
  }

  bool NoPivot(int, int row, bool rest) {
    if (!silent_) Heading().Append(NoPivotText(row, rest)).NewLine();
    return true;
  }

  void Silence() { silent_ = true; }

 private:
  TraceBuffer& Heading() {
    return out_.NewLine().Append("第 ").Append(std::to_string(column_)).Append(" 列：");
  }

  void Line(const std::string& line) {
    if (silent_) return;
    if (operations_++ == 0) Heading().NewLine();
    out_.Append(line).NewLine();
  }

  TraceBuffer& out_;
  const Grid<T>& a_;
  const Arithmetic& arithmetic_;
  bool silent_ = false;
  int column_ = 0;
  long long operations_ = 0;  // of the current column
};

}  // namespace matcalc
