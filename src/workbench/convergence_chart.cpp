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

#include "desk/chart_plan.h"
#include "workbench/export_picker.h"
#include "workbench/pane_text.h"
#include "workbench/qt_dialogs.h"

namespace matcalc::workbench {
namespace {

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

// Adds `series` with the plan's axes.
void AddWithAxes(QChart* chart, const QList<QAbstractSeries*>& series, const ChartAxis& x,
                 const ChartAxis& y) {
  auto* x_axis = new QValueAxis;
  x_axis->setTitleText(FromView(x.title));
  x_axis->setTitleFont(ChartFont(9));
  x_axis->setLabelFormat(QStringLiteral("%d"));
  x_axis->setRange(x.low, x.high);
  x_axis->setTickType(QValueAxis::TicksDynamic);
  x_axis->setTickAnchor(0);
  x_axis->setTickInterval(std::max(1.0, std::ceil((x.high - x.low) / 10)));
  chart->addAxis(x_axis, Qt::AlignBottom);

  QAbstractAxis* y_axis = nullptr;
  if (y.log_scale) {
    auto* axis = new QLogValueAxis;
    axis->setBase(10);
    axis->setLabelFormat(QStringLiteral("%.0e"));
    axis->setRange(std::pow(10, y.low), std::pow(10, y.high));
    y_axis = axis;
  } else {
    auto* axis = new QValueAxis;
    axis->setRange(y.low, y.high);
    axis->applyNiceNumbers();
    axis->setLabelFormat(QStringLiteral("%.6g"));
    y_axis = axis;
  }
  y_axis->setTitleText(FromView(y.title));
  y_axis->setTitleFont(ChartFont(9));
  chart->addAxis(y_axis, Qt::AlignLeft);
  for (QAbstractSeries* s : series) {
    chart->addSeries(s);
    s->attachAxis(x_axis);
    s->attachAxis(y_axis);
  }
}

// The red line where a run gave up, across the y axis.
QLineSeries* GiveUpLine(double x, const ChartAxis& y) {
  auto* line = new QLineSeries;
  line->setName(FromView(kGiveUpLegend));
  QPen pen(QColor(FromView(kGiveUpColour)));
  pen.setWidth(2);
  pen.setStyle(Qt::DashLine);
  line->setPen(pen);
  line->append(x, y.log_scale ? std::pow(10, y.low) : y.low);
  line->append(x, y.log_scale ? std::pow(10, y.high) : y.high);
  return line;
}

// The series of one panel, as Qt Charts draws them.
QList<QAbstractSeries*> PanelSeries(const ChartPanel& panel) {
  QList<QAbstractSeries*> out;
  for (const ChartLine& line : panel.lines) {
    QXYSeries* series = nullptr;
    if (line.dot) {
      auto* point = new QScatterSeries;
      point->setMarkerSize(12);
      point->setColor(QColor(FromView(kEigenvalueColour)));
      series = point;
    } else {
      auto* drawn = new QLineSeries;
      drawn->setPointsVisible(line.marked);
      series = drawn;
    }
    series->setName(FromView(line.name));
    for (const SeriesPoint& p : line.points) series->append(p.x, p.y);
    out.append(series);
  }
  return out;
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
  const ChartPlan plan = PlanChart(log, caption.toStdString());
  empty_ = plan.empty;
  charts_->setVisible(!empty_);
  if (empty_) {
    note_->setText(FromView(kNoChartText));
    return;
  }
  const QString give_up = FromView(plan.give_up);
  QChart* const charts[] = {upper_, lower_};
  for (std::size_t i = 0; i < plan.panels.size(); ++i) {
    const ChartPanel& panel = plan.panels[i];
    QList<QAbstractSeries*> series = PanelSeries(panel);
    if (plan.gave_up_at) series.append(GiveUpLine(*plan.gave_up_at, panel.y));
    AddWithAxes(charts[i], series, plan.x, panel.y);
    QString title = FromView(panel.title);
    if (i == 0 && !give_up.isEmpty()) {
      title += QStringLiteral("<br><span style='color:%1'>%2</span>")
                   .arg(FromView(kGiveUpColour), give_up);
    }
    charts[i]->setTitle(title);
  }
  lower_view_->setVisible(plan.panels.size() > 1);
  QString note;
  if (!give_up.isEmpty()) {
    note = QStringLiteral("<b style='color:%1'>%2</b>").arg(FromView(kGiveUpColour), give_up);
  }
  if (!plan.more.empty()) {
    if (!note.isEmpty()) note += QStringLiteral("<br>");
    note += FromView(plan.more);
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
      png_(new QPushButton(FromView(kExportPngButton), this)),
      svg_(new QPushButton(FromView(kExportSvgButton), this)),
      picker_(picker) {
  setWindowTitle(FromView(kChartTitle));
  resize(820, 640);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chart_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(png_);
  buttons->addWidget(svg_);
  auto* close = new QPushButton(FromView(kCloseButton), this);
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
      FromView(kChartTitle) + QStringLiteral(".") + suffix,
      png ? QStringLiteral("PNG 图片(*.png)") : QStringLiteral("SVG 图片(*.svg)"));
  if (!chosen) return;
  const QString name = WithSuffix(*chosen, suffix);
  if (!(png ? chart_->SavePng(name) : chart_->SaveSvg(name))) {
    QMessageBox::warning(this, kProgramTitle, QStringLiteral("操作有误！\n无法写入 %1").arg(name));
  }
}

}  // namespace matcalc::workbench
