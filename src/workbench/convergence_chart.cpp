#include "workbench/convergence_chart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QScrollArea>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "desk/chart_plan.h"
#include "desk/log_axis.h"
#include "workbench/export_picker.h"
#include "workbench/pane_text.h"
#include "workbench/qt_dialogs.h"

namespace matcalc::workbench {
namespace {

// The legend shows this many rows before it scrolls.
constexpr int kLegendRows = 5;

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
    // The series hold the decimal logarithms; the axis labels a round subset
    // of the decades, each with one grid line, so that no label is elided
    // however many decades the run spans.
    const LogAxisPlan& plan = y.decades;
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setStartValue(plan.low);
    for (std::size_t i = 0; i < plan.labels.size(); ++i)
      axis->append(QString::fromStdString(plan.labels[i]), plan.exponents[i]);
    axis->setRange(plan.low, plan.high);
    axis->setTruncateLabels(false);
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
  // A log axis is laid out in the exponents (see AddWithAxes).
  line->append(x, y.low);
  line->append(x, y.high);
  return line;
}

// The series of one panel, as Qt Charts draws them; on a log axis the
// decimal logarithms of the values.
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
    for (const SeriesPoint& p : line.points)
      series->append(p.x, panel.y.log_scale ? std::log10(p.y) : p.y);
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
    // The legend goes below the chart in columns (the chart's own would cut
    // off a long list), and scrolls when even they run out of room.
    auto* pane = new QWidget(charts_);
    auto* stack = new QVBoxLayout(pane);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(2);
    stack->addWidget(view, 1);
    auto* scroll = new QScrollArea(pane);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* legend = new QWidget(scroll);
    legend->setObjectName(view == upper_view_ ? QStringLiteral("UpperLegend")
                                              : QStringLiteral("LowerLegend"));
    legend->setAutoFillBackground(true);
    legend->setBackgroundRole(QPalette::Base);
    new QGridLayout(legend);
    scroll->setWidget(legend);
    stack->addWidget(scroll);
    (view == upper_view_ ? upper_legend_ : lower_legend_) = legend;
    (view == upper_view_ ? upper_pane_ : lower_pane_) = pane;
    charts->addWidget(pane, 1);
  }
  for (QChart* chart : {upper_, lower_}) {
    chart->setTitleFont(ChartFont(11, true));
    chart->legend()->hide();
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
  FillLegend(upper_legend_, {});
  FillLegend(lower_legend_, {});
  if (empty_) {
    note_->setText(FromView(kNoChartText));
    note_->setVisible(true);
    return;
  }
  const QString give_up = FromView(plan.give_up);
  QChart* const charts[] = {upper_, lower_};
  for (std::size_t i = 0; i < plan.panels.size(); ++i) {
    const ChartPanel& panel = plan.panels[i];
    QList<QAbstractSeries*> series = PanelSeries(panel);
    if (plan.gave_up_at) series.append(GiveUpLine(*plan.gave_up_at, panel.y));
    AddWithAxes(charts[i], series, plan.x, panel.y);
    // The colours are the chart's once the series are added.
    FillLegend(i == 0 ? upper_legend_ : lower_legend_, series);
    QString title = FromView(panel.title);
    if (i == 0 && !give_up.isEmpty()) {
      title += QStringLiteral("<br><span style='color:%1'>%2</span>")
                   .arg(FromView(kGiveUpColour), give_up);
    }
    charts[i]->setTitle(title);
  }
  lower_pane_->setVisible(plan.panels.size() > 1);
  // The chart's title says already where the run gave up (and carries it
  // into the pictures); the note only says what was left out.
  const QString note = FromView(plan.more);
  note_->setText(note);
  note_->setVisible(!note.isEmpty());
}

void ConvergenceChart::FillLegend(QWidget* legend, const QList<QAbstractSeries*>& series) {
  auto* grid = static_cast<QGridLayout*>(legend->layout());
  while (QLayoutItem* item = grid->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  QWidget* scroll = legend->parentWidget()->parentWidget();
  scroll->setVisible(!series.isEmpty());
  // Row by row in as many columns as keep it short: 8 components, the
  // eigenvalue and the line where the run gave up take three rows.
  const int columns = series.size() <= 2 ? 2 : series.size() <= 8 ? 3 : 4;
  int at = 0;
  for (QAbstractSeries* s : series) {
    const auto* xy = static_cast<const QXYSeries*>(s);
    auto* swatch = new QLabel(legend);
    swatch->setFixedSize(18, 10);
    const QColor colour =
        s->type() == QAbstractSeries::SeriesTypeScatter ? xy->color() : xy->pen().color();
    swatch->setStyleSheet(QStringLiteral("background:%1").arg(colour.name()));
    auto* name = new QLabel(s->name(), legend);
    name->setFont(ChartFont(9));
    grid->addWidget(swatch, at / columns, 2 * (at % columns));
    grid->addWidget(name, at / columns, 2 * (at % columns) + 1);
    ++at;
  }
  for (int c = 0; c < columns; ++c) grid->setColumnStretch(2 * c + 1, 1);
  // As high as its rows, up to kLegendRows; more scroll.
  grid->activate();
  scroll->setMaximumHeight(std::min(legend->sizeHint().height(), kLegendRows * 20) + 4);
}

namespace {

// False with the system's reason (or a reason of ours) in `error`.
bool Failed(QSaveFile& file, QString* error, const QString& ours = {}) {
  if (error != nullptr) {
    *error = file.error() != QFileDevice::NoError || ours.isEmpty() ? file.errorString() : ours;
  }
  file.cancelWriting();
  return false;
}

}  // namespace

// Pictures go through a temporary file beside the target too.
bool ConvergenceChart::SavePng(const QString& path, QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return Failed(file, error);
  if (!charts_->grab().save(&file, "PNG"))
    return Failed(file, error, QStringLiteral("无法生成 PNG"));
  return file.commit() || Failed(file, error);
}

bool ConvergenceChart::SaveSvg(const QString& path, QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return Failed(file, error);
  {
    QSvgGenerator generator;
    generator.setOutputDevice(&file);
    generator.setSize(charts_->size());
    generator.setViewBox(QRect(QPoint(0, 0), charts_->size()));
    generator.setTitle(upper_->title());
    QPainter painter;
    if (!painter.begin(&generator)) return Failed(file, error, QStringLiteral("无法生成 SVG"));
    charts_->render(&painter);
    if (!painter.end()) return Failed(file, error, QStringLiteral("无法生成 SVG"));
  }
  return file.commit() || Failed(file, error);
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
  png_->setEnabled(false);
  svg_->setEnabled(false);
}

void ChartWindow::SetLog(const ConvergenceLog& log, const QString& caption) {
  chart_->SetLog(log, caption);
  png_->setEnabled(!chart_->empty());
  svg_->setEnabled(!chart_->empty());
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
  QString error;
  if (!(png ? chart_->SavePng(name, &error) : chart_->SaveSvg(name, &error))) {
    QMessageBox::warning(this, kProgramTitle, QStringLiteral("操作有误！\n") + error);
  }
}

}  // namespace matcalc::workbench
