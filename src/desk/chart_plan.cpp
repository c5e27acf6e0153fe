#include "desk/chart_plan.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "desk/json_text.h"
#include "desk/series_formats.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// What the power methods record for a ratio with a vanishing denominator:
// a stand-in, no estimate.
constexpr double kRatioStandIn = 1.79769313486231e308;

// Values a chart can place: finite ones, and on a log axis positive ones.
// An estimate at the stand-in's magnitude is left out; any other value, up
// to the largest double (a diverging iteration's components), is drawn.
bool Drawable(double y, bool log_scale, Quantity quantity) {
  if (!std::isfinite(y)) return false;
  const bool estimate = quantity == Quantity::kEstimate || quantity == Quantity::kEigenvalue;
  if (estimate && std::fabs(y) >= kRatioStandIn) return false;
  return !log_scale || y > 0;
}

struct Span {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void Add(double v) {
    low = std::min(low, v);
    high = std::max(high, v);
  }
  bool valid() const { return low <= high; }
};

// A linear axis spans its values with 8% to spare on each side (a single
// value: a tenth of it, at least 1); a log axis whole decades, at least one.
ChartAxis YAxis(std::string title, bool log_scale, Span span) {
  ChartAxis axis;
  axis.title = std::move(title);
  axis.log_scale = log_scale;
  if (log_scale) {
    if (!span.valid()) span = {1, 10};
    axis.low = std::floor(std::log10(span.low));
    axis.high = std::max(std::ceil(std::log10(span.high)), axis.low + 1);
    axis.decades = PlanLogDecades(static_cast<int>(axis.low), static_cast<int>(axis.high));
    return axis;
  }
  if (!span.valid()) span = {0, 1};
  const double width = span.high - span.low;
  // Values near both limits of a double span more than the largest double:
  // the pad is then taken from the ends apart, and the ends stay finite.
  const double pad = !std::isfinite(width) ? span.high * 0.08 - span.low * 0.08
                     : width > 0           ? width * 0.08
                                           : std::max(1.0, std::fabs(span.high) * 0.1);
  constexpr double kLargest = std::numeric_limits<double>::max();
  axis.low = std::max(span.low - pad, -kLargest);
  axis.high = std::min(span.high + pad, kLargest);
  axis.ticks = PlanLinearTicks(axis.low, axis.high);
  return axis;
}

void AppendAxis(std::string& out, const ChartAxis& axis) {
  out += "{\"title\":";
  AppendJsonString(out, axis.title);
  out += axis.log_scale ? ",\"log\":true,\"low\":" : ",\"log\":false,\"low\":";
  AppendJsonNumber(out, axis.low);
  out += ",\"high\":";
  AppendJsonNumber(out, axis.high);
  if (axis.log_scale) {
    out += ",\"exponents\":[";
    for (const int e : axis.decades.exponents) {
      if (out.back() != '[') out += ',';
      out += std::to_string(e);
    }
    out += "],\"labels\":[";
    for (const std::string& label : axis.decades.labels) {
      if (out.back() != '[') out += ',';
      AppendJsonString(out, label);
    }
    out += ']';
  }
  out += '}';
}

// A curve fit: the points scattered and the polynomial as a line, on one
// panel over x.
ChartPlan PlanFitChart(const ConvergenceLog& log, std::string_view caption) {
  ChartPlan plan;
  plan.empty = false;
  ChartPanel panel;
  panel.title = std::string(caption) + "：数据点与拟合曲线";
  Span x_span;
  Span y_span;
  for (const Series& s : log.series()) {
    ChartLine line;
    line.name = SeriesName(s);
    line.scatter = s.quantity == Quantity::kDataPoint;
    for (const SeriesPoint& p : s.points) {
      if (!Drawable(p.y, false, s.quantity) || !Drawable(p.x, false, s.quantity)) continue;
      line.points.push_back(p);
      x_span.Add(p.x);
      y_span.Add(p.y);
    }
    panel.lines.push_back(std::move(line));
  }
  plan.x = YAxis("x", false, x_span);
  plan.whole_x = false;
  panel.y = YAxis("y", false, y_span);
  plan.panels.push_back(std::move(panel));
  return plan;
}

}  // namespace

ChartPlan PlanChart(const ConvergenceLog& log, std::string_view caption) {
  ChartPlan plan;
  plan.empty = log.series().empty();
  if (plan.empty) return plan;
  if (log.is_fit()) return PlanFitChart(log, caption);
  const bool passes = log.counts_passes();
  const std::string head(caption);
  if (log.gave_up_at()) {
    plan.gave_up_at = log.gave_up_at();
    plan.give_up = "未收敛：" + log.why() + "（第 " + FormatNumber(*log.gave_up_at()) + " " +
                   (passes ? "次变换" : "次迭代") + "后放弃）";
  }

  ChartPanel upper;
  ChartPanel lower;
  Span x_span;
  Span upper_y;
  Span lower_y;
  int components = 0;
  int diagonal = 0;
  bool more = false;
  std::string upper_y_title;
  std::string lower_title = head + "：各次变换后的对角元";
  std::string lower_y_title = "对角元";
  bool upper_log = passes;
  for (const Series& s : log.series()) {
    const bool on_lower = s.quantity == Quantity::kDiagonal || s.quantity == Quantity::kComponent;
    const bool log_scale = s.quantity == Quantity::kOffDiagonal || s.quantity == Quantity::kError ||
                           s.quantity == Quantity::kSubdiagonal;
    const bool counted = s.quantity == Quantity::kEstimate || s.quantity == Quantity::kSubdiagonal;
    if (counted && ++components > kMostChartComponents) {
      more = true;
      continue;
    }
    if (on_lower && ++diagonal > kMostChartComponents) {
      more = true;
      continue;
    }
    if (log_scale && !on_lower) upper_log = true;
    ChartLine line;
    line.name = SeriesName(s);
    line.dot = s.quantity == Quantity::kEigenvalue;
    line.marked = !line.dot && s.points.size() <= kMostMarkedPoints;
    if (line.dot && !s.points.empty()) line.name += " = " + FormatNumber(s.points.back().y);
    Span& y_span = on_lower ? lower_y : upper_y;
    for (const SeriesPoint& p : s.points) {
      if (!Drawable(p.y, log_scale, s.quantity)) continue;
      line.points.push_back(p);
      x_span.Add(p.x);
      y_span.Add(p.y);
    }
    (on_lower ? lower : upper).lines.push_back(std::move(line));
    switch (s.quantity) {
      case Quantity::kEstimate:
      case Quantity::kEigenvalue:
        upper.title = head + "：各分量的特征值估计";
        upper_y_title = "估计值";
        break;
      case Quantity::kApproximation:
        upper.title = head + "：近似特征值";
        upper_y_title = "近似特征值";
        break;
      case Quantity::kOffDiagonal:
        upper.title = head + "：非对角元的最大模（对数刻度）";
        upper_y_title = "最大模";
        break;
      case Quantity::kError:
        upper.title = head + "：迭代误差（对数刻度）";
        upper_y_title = "误差";
        break;
      case Quantity::kSubdiagonal:
        upper.title = head + "：活动块次对角元的模（对数刻度）";
        upper_y_title = "|h(k+1,k)|";
        break;
      case Quantity::kDiagonal:
      case Quantity::kDataPoint:
      case Quantity::kFittedCurve:
        break;
      case Quantity::kComponent:
        lower_title = head + "：各次迭代向量的分量";
        lower_y_title = "分量";
        break;
    }
  }
  // An iterative solver that diverged at its first step has no error to
  // draw, but its upper panel is still the error's.
  if (upper.lines.empty() && lower_y_title == "分量") {
    upper.title = head + "：迭代误差（对数刻度）";
    upper_y_title = "误差";
    upper_log = true;
  }
  if (plan.gave_up_at) x_span.Add(*plan.gave_up_at);
  if (!x_span.valid()) x_span = {0, 1};
  plan.x.title = passes ? "变换次数 k" : "迭代次数 k";
  plan.x.low = x_span.low;
  plan.x.high = std::max(x_span.high, x_span.low + 1);
  plan.x.ticks = AxisTicks(plan.x, 11, true);
  upper.y = YAxis(upper_y_title, upper_log, upper_y);
  plan.panels.push_back(std::move(upper));
  if (!lower.lines.empty()) {
    lower.title = lower_title;
    lower.y = YAxis(lower_y_title, false, lower_y);
    plan.panels.push_back(std::move(lower));
  }
  if (more) {
    plan.more = "只画出前 " + std::to_string(kMostChartComponents) +
                " 个分量；全部数据可用 matcalc-cli --series 导出。";
  }
  return plan;
}

LinearAxisPlan AxisTicks(const ChartAxis& axis, int most, bool whole) {
  return PlanLinearTicks(axis.low, axis.high, most, whole ? 1 : 0);
}

std::string ChartPlanJson(const ChartPlan& plan) {
  std::string out = plan.empty ? "{\"empty\":true,\"x\":" : "{\"empty\":false,\"x\":";
  AppendAxis(out, plan.x);
  if (!plan.whole_x) out += ",\"wholeX\":false";
  out += ",\"panels\":[";
  for (std::size_t i = 0; i < plan.panels.size(); ++i) {
    const ChartPanel& panel = plan.panels[i];
    if (i > 0) out += ',';
    out += "{\"title\":";
    AppendJsonString(out, panel.title);
    out += ",\"y\":";
    AppendAxis(out, panel.y);
    out += ",\"lines\":[";
    for (std::size_t j = 0; j < panel.lines.size(); ++j) {
      const ChartLine& line = panel.lines[j];
      if (j > 0) out += ',';
      out += "{\"name\":";
      AppendJsonString(out, line.name);
      out += line.dot ? ",\"dot\":true" : ",\"dot\":false";
      if (line.scatter) out += ",\"scatter\":true";
      out += line.marked ? ",\"marked\":true,\"points\":[" : ",\"marked\":false,\"points\":[";
      for (std::size_t k = 0; k < line.points.size(); ++k) {
        if (k > 0) out += ',';
        out += '[';
        AppendJsonNumber(out, line.points[k].x);
        out += ',';
        AppendJsonNumber(out, line.points[k].y);
        out += ']';
      }
      out += "]}";
    }
    out += "]}";
  }
  out += "],\"gaveUpAt\":";
  if (plan.gave_up_at) {
    AppendJsonNumber(out, *plan.gave_up_at);
  } else {
    out += "null";
  }
  out += ",\"giveUp\":";
  AppendJsonString(out, plan.give_up);
  out += ",\"more\":";
  AppendJsonString(out, plan.more);
  out += '}';
  return out;
}

}  // namespace matcalc
