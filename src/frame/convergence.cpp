#include "frame/convergence.h"

#include <algorithm>

#include "text/json_text.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

constexpr int kQuantities = 7;

// A field of the series file, quoted when it holds a comma, a quote or a
// line break.
void AppendCsvField(std::string& out, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += field;
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

const char* QuantityKey(Quantity quantity) {
  switch (quantity) {
    case Quantity::kEstimate:
      return "estimate";
    case Quantity::kEigenvalue:
      return "eigenvalue";
    case Quantity::kApproximation:
      return "approximation";
    case Quantity::kOffDiagonal:
      return "offDiagonal";
    case Quantity::kDiagonal:
      return "diagonal";
    case Quantity::kError:
      return "error";
    case Quantity::kComponent:
      return "component";
  }
  return "";
}

}  // namespace

std::string Series::Name() const {
  const std::string k = std::to_string(component);
  switch (quantity) {
    case Quantity::kEstimate:
      return "第 " + k + " 个分量的估计值";
    case Quantity::kEigenvalue:
      return "特征值";
    case Quantity::kApproximation:
      return "近似特征值";
    case Quantity::kOffDiagonal:
      return "非对角元的最大模";
    case Quantity::kDiagonal:
      return "第 " + k + " 个对角元";
    case Quantity::kError:
      return "误差";
    case Quantity::kComponent:
      return "x" + k;
  }
  return {};
}

void ConvergenceLog::Clear() {
  series_.clear();
  index_.clear();
  gave_up_.reset();
  why_.clear();
}

Series& ConvergenceLog::SeriesFor(Quantity quantity, int component) {
  if (index_.empty()) index_.resize(kQuantities);
  std::vector<int>& slots = index_[static_cast<std::size_t>(quantity)];
  const std::size_t slot = component < 0 ? 0 : static_cast<std::size_t>(component);
  if (slots.size() <= slot) slots.resize(slot + 1, -1);
  if (slots[slot] < 0) {
    slots[slot] = static_cast<int>(series_.size());
    series_.push_back({quantity, component, {}});
  }
  return series_[static_cast<std::size_t>(slots[slot])];
}

void ConvergenceLog::Add(Quantity quantity, int component, double x, double y) {
  if (!enabled_) return;
  SeriesFor(quantity, component).points.push_back({x, y});
}

void ConvergenceLog::AddVector(Quantity quantity, double x, const Vector& v) {
  if (!enabled_) return;
  for (int j = 1; j <= v.size(); ++j) Add(quantity, j, x, v(j));
}

void ConvergenceLog::AddDiagonal(double x, const Matrix& a, int n) {
  if (!enabled_) return;
  for (int i = 1; i <= n; ++i) Add(Quantity::kDiagonal, i, x, a(i, i));
}

void ConvergenceLog::GiveUp(double x, std::string_view why) {
  if (!enabled_) return;
  gave_up_ = x;
  why_ = why;
}

void ConvergenceLog::GiveUp(std::string_view why) {
  double last = 0;
  for (const Series& s : series_) {
    for (const SeriesPoint& p : s.points) last = std::max(last, p.x);
  }
  GiveUp(last, why);
}

bool ConvergenceLog::counts_passes() const {
  for (const Series& s : series_) {
    if (s.quantity == Quantity::kOffDiagonal || s.quantity == Quantity::kDiagonal) return true;
  }
  return false;
}

bool OnLogScale(Quantity quantity) {
  return quantity == Quantity::kOffDiagonal || quantity == Quantity::kError;
}

bool OnLowerPanel(Quantity quantity) {
  return quantity == Quantity::kDiagonal || quantity == Quantity::kComponent;
}

std::string SeriesCsv(const ConvergenceLog& log) {
  std::string out = "series,x,y\n";
  for (const Series& s : log.series()) {
    const std::string name = s.Name();
    for (const SeriesPoint& p : s.points) {
      AppendCsvField(out, name);
      out += ',';
      AppendNumber(out, p.x);
      out += ',';
      AppendNumber(out, p.y);
      out += '\n';
    }
  }
  if (log.gave_up_at()) {
    out += kGaveUpSeries;
    out += ',';
    AppendNumber(out, *log.gave_up_at());
    out += ",1\n";
  }
  return out;
}

std::string SeriesJson(const ConvergenceLog& log) {
  std::string out = "{\"passes\":";
  out += log.counts_passes() ? "true" : "false";
  out += ",\"gaveUp\":";
  if (log.gave_up_at()) {
    AppendJsonNumber(out, *log.gave_up_at());
  } else {
    out += "null";
  }
  out += ",\"why\":";
  AppendJsonString(out, log.why());
  out += ",\"series\":[";
  bool first_series = true;
  for (const Series& s : log.series()) {
    if (!first_series) out += ',';
    first_series = false;
    out += "{\"name\":";
    AppendJsonString(out, s.Name());
    out += ",\"quantity\":\"";
    out += QuantityKey(s.quantity);
    out += "\",\"component\":" + std::to_string(s.component) + ",\"points\":[";
    bool first_point = true;
    for (const SeriesPoint& p : s.points) {
      if (!first_point) out += ',';
      first_point = false;
      out += '[';
      AppendJsonNumber(out, p.x);
      out += ',';
      AppendJsonNumber(out, p.y);
      out += ']';
    }
    out += "]}";
  }
  out += "]}";
  return out;
}

}  // namespace matcalc
