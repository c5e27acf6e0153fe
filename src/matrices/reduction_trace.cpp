#include "matrices/reduction_trace.h"

namespace matcalc {

std::string ColumnList(const std::vector<int>& columns) {
  if (columns.empty()) return "无";
  std::string list;
  for (const int column : columns) {
    if (!list.empty()) list += ", ";
    list += std::to_string(column);
  }
  return list;
}

std::string NoPivotText(int row, bool rest) {
  if (row == 1) return rest ? "矩阵都是零，消元结束。" : "本列都是零，没有主元。";
  std::string text = "第 ";
  text += std::to_string(row);
  text += rest ? " 行及以下都是零，消元结束。" : " 行及以下都是零，本列没有主元。";
  return text;
}

}  // namespace matcalc
