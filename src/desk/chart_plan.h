// The convergence chart as both workbenches draw it: which series go on which
// panel, their names, the scales and the axes' spans, the titles and the mark
// where a run gave up. The window draws a plan with Qt Charts, the page with
// SVG; neither decides any of this itself.
//
// The power and origin-shift methods show each component's estimate and the
// eigenvalue accepted; the inverse power method its approximate eigenvalue;
// the Jacobi methods the largest off-diagonal magnitude on a log scale above
// and the diagonal below; the QR method the subdiagonal magnitudes of its
// active block on a log scale. A curve fit is a chart of its own kind: its
// points scattered and the fitted polynomial drawn through them, over x. A run that gave up says so
// in red, with a red line where it stopped.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desk/log_axis.h"
#include "frame/convergence.h"

namespace matcalc {

// At most this many components (estimates, diagonal elements) are drawn; the
// series file has them all.
inline constexpr int kMostChartComponents = 8;
// A line shows a mark at each point when it has at most this many.
inline constexpr std::size_t kMostMarkedPoints = 60;

inline constexpr std::string_view kNoChartText =
    "还没有收敛过程可画：幂法、原点平移法、反幂法、两种雅可比法、QR "
    "方法和方程组的三种迭代法算完以后，"
    "这里画出它们的收敛过程；最小二乘曲线拟合之后画出数据点和拟合曲线。";
inline constexpr std::string_view kGiveUpLegend = "放弃处";
// The chart's box: its title (also the exported file's name before its
// suffix) and its buttons.
inline constexpr std::string_view kChartTitle = "收敛图";
inline constexpr std::string_view kExportPngButton = "导出 PNG...";
inline constexpr std::string_view kExportSvgButton = "导出 SVG...";
inline constexpr std::string_view kCloseButton = "关闭";
// The colour of everything about giving up.
inline constexpr std::string_view kGiveUpColour = "#c01010";
// The colour of the accepted eigenvalue's dot.
inline constexpr std::string_view kEigenvalueColour = "#108030";

struct ChartLine {
  std::string name;                 // its legend; the eigenvalue's with " = " and its value
  bool dot = false;                 // the accepted eigenvalue: a dot, not a line
  bool marked = false;              // a line with a mark at each point
  bool scatter = false;             // points only, unconnected: a curve fit's data
  std::vector<SeriesPoint> points;  // only those the scale can place
};

// An axis: its span (a linear one padded, a log one in whole decades: `low`
// and `high` are then exponents of ten). Both ends are finite, though a
// linear axis over values near both limits of a double spans more than the
// largest double.
struct ChartAxis {
  std::string title;
  bool log_scale = false;
  double low = 0;
  double high = 1;
  LogAxisPlan decades;   // a log axis: the decades it labels, each with a grid line
  LinearAxisPlan ticks;  // a linear axis: its round ticks, each with a grid line
};

// The ticks a front end labels on a linear axis of the plan when it has room
// for `most` labels; iterates and passes are whole, so the x axis never
// steps by less than 1.
LinearAxisPlan AxisTicks(const ChartAxis& axis, int most, bool whole);

struct ChartPanel {
  std::string title;
  ChartAxis y;
  std::vector<ChartLine> lines;
};

struct ChartPlan {
  // Nothing recorded: kNoChartText is shown instead.
  bool empty = true;
  ChartAxis x;          // iterates or passes (a curve fit: x), shared by the panels; never log
  bool whole_x = true;  // iterates and passes are whole; a curve fit's x are not
  std::vector<ChartPanel> panels;  // the upper one, then the diagonal's when there is one
  std::optional<double> gave_up_at;
  // "未收敛：<why>（第 N 次迭代后放弃）", empty for a run that converged.
  std::string give_up;
  // "只画出前 8 个分量；..." when components were left out, else empty.
  std::string more;
};

// The plan for `log`, recorded by the command captioned `caption`.
ChartPlan PlanChart(const ConvergenceLog& log, std::string_view caption);

// The plan for the page: {"empty":false,"x":{"title":..,"log":false,"low":0,"high":12},
// "panels":[{"title":..,"y":{...},"lines":[{"name":..,"dot":false,"marked":true,
// "points":[[1,2.5],...]}]}],"gaveUpAt":null,"giveUp":"","more":""}; a scattered line
// carries "scatter":true after "dot", and an x axis that is not whole (a curve fit's)
// "wholeX":false after "x".
std::string ChartPlanJson(const ChartPlan& plan);

}  // namespace matcalc
