#include "workbench/convergence_chart.h"

#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "desk/series_formats.h"
#include "text/number_text.h"
#include "workbench/export_picker.h"
#include "workbench/qt_dialogs.h"

namespace matcalc::workbench {
namespace {

const QColor kGiveUpColour(0xc0, 0x10, 0x10);

// Values a chart can place: a ratio with a vanishing denominator stands in as
// about 1.8E+308 and is left out, like values that are not finite; a log
// axis also leaves out what is not positive.
bool Drawable(double y, bool log_scale) {
  if (!std::isfinite(y) || std::fabs(y) >= 1e300) return false;
  return !log_scale || y > 0;
}

struct Range {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void Add(double v) {
    low = std::min(low, v);
    high = std::max(high, v);
  }
  bool valid() const { return low <= high; }
};

QString Text(double v) { return QString::fromStdString(FormatNumber(v)); }

QFont ChartFont(int point_size, bool bold = false) {
  QFont font(QStringLiteral("Noto Sans CJK SC"));
  font.setPointSize(point_size);
  font.setBold(bold);
  return font;
}

void ResetChart(QChart* chart) {
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes()) {
    chart->removeAxis(axis);
    delete axis;
  }
  chart->setTitle({});
  chart->setTitleBrush(Qt::black);
}

// Adds `series` with its axes; `x` and `y` span its points.
void AddWithAxes(QChart* chart, const QList<QAbstractSeries*>& series, const QString& x_title,
                 const QString& y_title, Range x, Range y, bool log_scale) {
  auto* x_axis = new QValueAxis;
  x_axis->setTitleText(x_title);
  x_axis->setTitleFont(ChartFont(9));
  x_axis->setLabelFormat(QStringLiteral("%d"));
  if (!x.valid()) x = {0, 1};
  x_axis->setRange(x.low, std::max(x.high, x.low + 1));
  x_axis->setTickType(QValueAxis::TicksDynamic);
  x_axis->setTickAnchor(0);
  x_axis->setTickInterval(std::max(1.0, std::ceil((x.high - x.low) / 10)));
  chart->addAxis(x_axis, Qt::AlignBottom);

  QAbstractAxis* y_axis = nullptr;
  if (log_scale) {
    auto* axis = new QLogValueAxis;
    axis->setBase(10);
    axis->setLabelFormat(QStringLiteral("%.0e"));
    if (y.valid()) {
      axis->setRange(std::pow(10, std::floor(std::log10(y.low))),
                     std::pow(10, std::ceil(std::log10(y.high)) + (y.low == y.high ? 1 : 0)));
    }
    y_axis = axis;
  } else {
    auto* axis = new QValueAxis;
    if (y.valid()) {
      const double span = y.high - y.low;
      const double pad = span > 0 ? span * 0.08 : std::max(1.0, std::fabs(y.high) * 0.1);
      axis->setRange(y.low - pad, y.high + pad);
      axis->applyNiceNumbers();
    }
    axis->setLabelFormat(QStringLiteral("%.6g"));
    y_axis = axis;
  }
  y_axis->setTitleText(y_title);
  y_axis->setTitleFont(ChartFont(9));
  chart->addAxis(y_axis, Qt::AlignLeft);
  for (QAbstractSeries* s : series) {
    chart->addSeries(s);
    s->attachAxis(x_axis);
    s->attachAxis(y_axis);
  }
}

// The red line where a run gave up, across the y range.
QLineSeries* GiveUpLine(double x, const Range& y, bool log_scale, const QString& name) {
  auto* line = new QLineSeries;
  line->setName(name);
  QPen pen(kGiveUpColour);
  pen.setWidth(2);
  pen.setStyle(Qt::DashLine);
  line->setPen(pen);
  double low = y.valid() ? y.low : 0;
  double high = y.valid() ? y.high : 1;
  if (log_scale) {
    low = std::pow(10, std::floor(std::log10(low)));
    high = std::pow(10, std::ceil(std::log10(high)));
  }
  line->append(x, low);
  line->append(x, high);
  return line;
}

}  // namespace

ConvergenceChart::ConvergenceChart(QWidget* parent)
    : QWidget(parent),
      note_(new QLabel(this)),
      upper_(new QChart),
      lower_(new QChart),
      upper_view_(new QChartView(upper_)),
      lower_view_(new QChartView(lower_)),
      charts_(new QWidget(this)) {
  auto* layout = new QVBoxLayout(this);
  note_->setWordWrap(true);
  layout->addWidget(note_);
  auto* charts = new QVBoxLayout(charts_);
  charts->setContentsMargins(0, 0, 0, 0);
  for (QChartView* view : {upper_view_, lower_view_}) {
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(220);
    charts->addWidget(view, 1);
  }
  for (QChart* chart : {upper_, lower_}) {
    chart->setTitleFont(ChartFont(11, true));
    chart->legend()->setFont(ChartFont(9));
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setBackgroundBrush(Qt::white);
  }
  layout->addWidget(charts_, 1);
  SetLog(ConvergenceLog(), {});
}

void ConvergenceChart::SetLog(const ConvergenceLog& log, const QString& caption) {
  ResetChart(upper_);
  ResetChart(lower_);
  empty_ = log.series().empty();
  charts_->setVisible(!empty_);
  if (empty_) {
    note_->setText(
        QStringLiteral("还没有收敛过程可画：幂法、原点平移法、反幂法和两种雅可比法"
                       "算完以后，这里画出它们的收敛过程。"));
    return;
  }
  const bool passes = log.counts_passes();
  const QString x_title = passes ? QStringLiteral("变换次数 k") : QStringLiteral("迭代次数 k");
  QString give_up;
  if (log.gave_up_at()) {
    give_up = QStringLiteral("未收敛：%1（第 %2 %3后放弃）")
                  .arg(QString::fromStdString(log.why()), Text(*log.gave_up_at()),
                       passes ? QStringLiteral("次变换") : QStringLiteral("次迭代"));
  }

  // Upper: everything but the diagonal; lower: the diagonal.
  QList<QAbstractSeries*> upper_series;
  QList<QAbstractSeries*> lower_series;
  Range x_range;
  Range upper_y;
  Range lower_y;
  int components = 0;
  int diagonal = 0;
  bool more = false;
  QString upper_title;
  QString upper_y_title;
  for (const Series& s : log.series()) {
    const bool on_lower = s.quantity == Quantity::kDiagonal;
    const bool log_scale = s.quantity == Quantity::kOffDiagonal;
    if (s.quantity == Quantity::kEstimate && ++components > kMostComponents) {
      more = true;
      continue;
    }
    if (on_lower && ++diagonal > kMostComponents) {
      more = true;
      continue;
    }
    QXYSeries* series = nullptr;
    if (s.quantity == Quantity::kEigenvalue) {
      auto* point = new QScatterSeries;
      point->setMarkerSize(12);
      point->setColor(QColor(0x10, 0x80, 0x30));
      series = point;
    } else {
      auto* line = new QLineSeries;
      line->setPointsVisible(s.points.size() <= 60);
      series = line;
    }
    QString name = QString::fromStdString(SeriesName(s));
    if (s.quantity == Quantity::kEigenvalue && !s.points.empty()) {
      name += QStringLiteral(" = ") + Text(s.points.back().y);
    }
    series->setName(name);
    Range& y_range = on_lower ? lower_y : upper_y;
    for (const SeriesPoint& p : s.points) {
      if (!Drawable(p.y, log_scale)) continue;
      series->append(p.x, p.y);
      x_range.Add(p.x);
      y_range.Add(p.y);
    }
    (on_lower ? lower_series : upper_series).append(series);
    switch (s.quantity) {
      case Quantity::kEstimate:
      case Quantity::kEigenvalue:
        upper_title = QStringLiteral("%1：各分量的特征值估计").arg(caption);
        upper_y_title = QStringLiteral("估计值");
        break;
      case Quantity::kApproximation:
        upper_title = QStringLiteral("%1：近似特征值").arg(caption);
        upper_y_title = QStringLiteral("近似特征值");
        break;
      case Quantity::kOffDiagonal:
        upper_title = QStringLiteral("%1：非对角元的最大模（对数刻度）").arg(caption);
        upper_y_title = QStringLiteral("最大模");
        break;
      case Quantity::kDiagonal:
        break;
    }
  }
  if (log.gave_up_at()) {
    x_range.Add(*log.gave_up_at());
    const bool log_scale = passes;
    upper_series.append(
        GiveUpLine(*log.gave_up_at(), upper_y, log_scale, QStringLiteral("放弃处")));
    if (!lower_series.isEmpty()) {
      lower_series.append(GiveUpLine(*log.gave_up_at(), lower_y, false, QStringLiteral("放弃处")));
    }
  }
  AddWithAxes(upper_, upper_series, x_title, upper_y_title, x_range, upper_y, passes);
  QString title = upper_title;
  if (!give_up.isEmpty())
    title += QStringLiteral("<br><span style='color:#c01010'>%1</span>").arg(give_up);
  upper_->setTitle(title);
  lower_view_->setVisible(!lower_series.isEmpty());
  if (!lower_series.isEmpty()) {
    AddWithAxes(lower_, lower_series, x_title, QStringLiteral("对角元"), x_range, lower_y, false);
    lower_->setTitle(QStringLiteral("%1：各次变换后的对角元").arg(caption));
  }
  QString note;
  if (!give_up.isEmpty()) note = QStringLiteral("<b style='color:#c01010'>%1</b>").arg(give_up);
  if (more) {
    if (!note.isEmpty()) note += QStringLiteral("<br>");
    note += QStringLiteral("只画出前 %1 个分量；全部数据可用 matcalc-cli --series 导出。")
                .arg(kMostComponents);
  }
  note_->setText(note);
  note_->setVisible(!note.isEmpty());
}

bool ConvergenceChart::SavePng(const QString& path) { return charts_->grab().save(path, "PNG"); }

bool ConvergenceChart::SaveSvg(const QString& path) {
  QSvgGenerator generator;
  generator.setFileName(path);
  generator.setSize(charts_->size());
  generator.setViewBox(QRect(QPoint(0, 0), charts_->size()));
  generator.setTitle(upper_->title());
  QPainter painter;
  if (!painter.begin(&generator)) return false;
  charts_->render(&painter);
  return painter.end();
}

ChartWindow::ChartWindow(QWidget* parent, ExportPicker* picker)
    : QDialog(parent),
      chart_(new ConvergenceChart(this)),
      png_(new QPushButton(QStringLiteral("导出 PNG..."), this)),
      svg_(new QPushButton(QStringLiteral("导出 SVG..."), this)),
      picker_(picker) {
  setWindowTitle(QStringLiteral("收敛图"));
  resize(820, 640);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chart_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(png_);
  buttons->addWidget(svg_);
  auto* close = new QPushButton(QStringLiteral("关闭"), this);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(png_, &QPushButton::clicked, this, &ChartWindow::ExportPng);
  connect(svg_, &QPushButton::clicked, this, &ChartWindow::ExportSvg);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void ChartWindow::ExportPng() { Export(QStringLiteral("png")); }
void ChartWindow::ExportSvg() { Export(QStringLiteral("svg")); }

void ChartWindow::Export(const QString& suffix) {
  if (chart_->empty() || picker_ == nullptr) return;
  const bool png = suffix == QStringLiteral("png");
  const std::optional<QString> chosen = picker_->SaveName(
      png ? QStringLiteral("导出 PNG") : QStringLiteral("导出 SVG"),
      QStringLiteral("收敛图.") + suffix,
      png ? QStringLiteral("PNG 图片(*.png)") : QStringLiteral("SVG 图片(*.svg)"));
  if (!chosen) return;
  const QString name = WithSuffix(*chosen, suffix);
  if (!(png ? chart_->SavePng(name) : chart_->SaveSvg(name))) {
    QMessageBox::warning(this, kProgramTitle, QStringLiteral("操作有误！\n无法写入 %1").arg(name));
  }
}

}  // namespace matcalc::workbench
