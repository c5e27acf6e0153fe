#include "workbench/convergence_chart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGraphicsLayout>
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
// The x axis labels at most this many ticks.
constexpr int kMostXLabels = 11;

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

// A linear panel's values spanning more than the largest double are drawn
// in quarters (an exact scaling), so that Qt's span stays finite.
double PanelScale(const ChartAxis& y) {
  return !y.log_scale && !std::isfinite(y.high - y.low) ? 0.25 : 1;
}

// Adds `series` (values already scaled as drawn) with the plan's axes; their
// ticks are set by FitTicks once the plot area is known. Iterates and passes
// are counted on a value axis; a curve fit's x, like the y values, are
// labelled at the plan's ticks as the traces write numbers.
void AddWithAxes(QChart* chart, const QList<QAbstractSeries*>& series, const ChartAxis& x,
                 bool whole_x, const ChartAxis& y, double scale, QValueAxis*& x_out,
                 QCategoryAxis*& y_out) {
  QValueAxis* x_axis = nullptr;
  if (whole_x) {
    x_axis = new QValueAxis;
    x_axis->setLabelFormat(QStringLiteral("%d"));
    x_axis->setTickType(QValueAxis::TicksDynamic);
    x_axis->setTickAnchor(0);
    x_axis->setTickInterval(x.ticks.step);
  } else {
    auto* labelled = new QCategoryAxis;
    labelled->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    labelled->setTruncateLabels(false);
    x_axis = labelled;
  }
  x_axis->setTitleText(FromView(x.title));
  x_axis->setTitleFont(ChartFont(9));
  x_axis->setRange(x.low, x.high);
  chart->addAxis(x_axis, Qt::AlignBottom);

  // Both kinds of y axis label the ticks the desk layer plans, as the traces
  // write numbers: a log axis holds the decimal logarithms of the values,
  // a linear one the values (times `scale`).
  auto* y_axis = new QCategoryAxis;
  y_axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  y_axis->setTruncateLabels(false);
  if (y.log_scale) {
    y_axis->setRange(y.decades.low, y.decades.high);
  } else {
    y_axis->setRange(y.low * scale, y.high * scale);
  }
  y_axis->setTitleText(FromView(y.title));
  y_axis->setTitleFont(ChartFont(9));
  chart->addAxis(y_axis, Qt::AlignLeft);
  // Points go on top of the lines drawn through them (a chart draws its
  // series in the order they were added).
  QList<QAbstractSeries*> in_order = series;
  std::stable_partition(in_order.begin(), in_order.end(), [](const QAbstractSeries* s) {
    return s->type() != QAbstractSeries::SeriesTypeScatter;
  });
  for (QAbstractSeries* s : in_order) {
    chart->addSeries(s);
    s->attachAxis(x_axis);
    s->attachAxis(y_axis);
  }
  x_out = x_axis;
  y_out = y_axis;
}

// Puts the ticks of `labels` at `values` (as drawn) on `axis`, from `low`.
void SetCategories(QCategoryAxis* axis, double low, const std::vector<double>& values,
                   const std::vector<std::string>& labels) {
  for (const QString& label : axis->categoriesLabels()) axis->remove(label);
  // A category ends where its label stands; the first starts a step below
  // the axis, so that a tick at the axis' very end is a category of its own.
  const double step = values.size() > 1 ? values[1] - values[0] : 1;
  axis->setStartValue(values.empty() ? low : std::min(low, values.front()) - step);
  for (std::size_t i = 0; i < values.size(); ++i)
    axis->append(QString::fromStdString(labels[i]), values[i]);
}

// The red line where a run gave up, across the y axis from `low` to `high`
// (as drawn).
QLineSeries* GiveUpLine(double x, double low, double high) {
  auto* line = new QLineSeries;
  line->setName(FromView(kGiveUpLegend));
  QPen pen(QColor(FromView(kGiveUpColour)));
  pen.setWidth(2);
  pen.setStyle(Qt::DashLine);
  line->setPen(pen);
  line->append(x, low);
  line->append(x, high);
  return line;
}

// The series of one panel, as Qt Charts draws them: on a log axis the
// decimal logarithms of the values, on a linear one the values times `scale`.
QList<QAbstractSeries*> PanelSeries(const ChartPanel& panel, double scale) {
  QList<QAbstractSeries*> out;
  for (const ChartLine& line : panel.lines) {
    QXYSeries* series = nullptr;
    if (line.dot) {
      auto* point = new QScatterSeries;
      point->setMarkerSize(12);
      point->setColor(QColor(FromView(kEigenvalueColour)));
      series = point;
    } else if (line.scatter) {
      auto* points = new QScatterSeries;
      points->setMarkerSize(10);
      // A white rim sets a point apart from the curve through it.
      points->setBorderColor(Qt::white);
      series = points;
    } else {
      auto* drawn = new QLineSeries;
      drawn->setPointsVisible(line.marked);
      series = drawn;
    }
    series->setName(FromView(line.name));
    for (const SeriesPoint& p : line.points)
      series->append(p.x, panel.y.log_scale ? std::log10(p.y) : p.y * scale);
    out.append(series);
  }
  return out;
}

// How many labels fit along `length` pixels when each takes `extent` with
// room to spare to the next: at least 2, at most `most`.
int LabelsThatFit(qreal length, qreal extent, int most) {
  if (extent <= 0) return most;
  return std::clamp(1 + static_cast<int>(length / extent), 2, most);
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
    view->setMinimumHeight(160);
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
    // The plot gets the room: no rounded frame with a margin around it.
    chart->setBackgroundRoundness(0);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setMargins(QMargins(6, 4, 12, 4));
    // A chart laid out anew (resized, or its title's lines changed) gets as
    // many labels as its new height and width have room for.
    const std::size_t panel = chart == upper_ ? 0 : 1;
    connect(chart, &QChart::plotAreaChanged, this, [this, panel] { FitTicks(panel); });
  }
  layout->addWidget(charts_, 1);
  SetLog(ConvergenceLog(), {});
}

void ConvergenceChart::SetLog(const ConvergenceLog& log, const QString& caption) {
  // The axes go with the charts' reset (which may lay the charts out again).
  axes_[0] = {};
  axes_[1] = {};
  ResetChart(upper_);
  ResetChart(lower_);
  plan_ = PlanChart(log, caption.toStdString());
  const ChartPlan& plan = plan_;
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
    PanelAxes& axes = axes_[i];
    axes = {};
    axes.scale = PanelScale(panel.y);
    QList<QAbstractSeries*> series = PanelSeries(panel, axes.scale);
    if (plan.gave_up_at) {
      // A log axis is laid out in the exponents.
      series.append(
          panel.y.log_scale
              ? GiveUpLine(*plan.gave_up_at, panel.y.decades.low, panel.y.decades.high)
              : GiveUpLine(*plan.gave_up_at, panel.y.low * axes.scale, panel.y.high * axes.scale));
    }
    AddWithAxes(charts[i], series, plan.x, plan.whole_x, panel.y, axes.scale, axes.x, axes.y);
    // The colours are the chart's once the series are added.
    FillLegend(i == 0 ? upper_legend_ : lower_legend_, series);
    QString title = FromView(panel.title);
    if (i == 0 && !give_up.isEmpty()) {
      title += QStringLiteral("<br><span style='color:%1'>%2</span>")
                   .arg(FromView(kGiveUpColour), give_up);
    }
    charts[i]->setTitle(title);
    FitTicks(i);
  }
  lower_pane_->setVisible(plan.panels.size() > 1);
  // The chart's title says already where the run gave up (and carries it
  // into the pictures); the note only says what was left out.
  const QString note = FromView(plan.more);
  note_->setText(note);
  note_->setVisible(!note.isEmpty());
}

void ConvergenceChart::FitTicks(std::size_t i) {
  if (i >= plan_.panels.size()) return;
  PanelAxes& axes = axes_[i];
  if (axes.x == nullptr || axes.y == nullptr) return;
  QChart* chart = i == 0 ? upper_ : lower_;
  const QRectF plot = chart->plotArea();
  // A chart not shown has no plot area of its own yet: it gets the plan's
  // labels until it is laid out on the screen.
  const bool shown = (i == 0 ? upper_view_ : lower_view_)->isVisible();
  const ChartAxis& y = plan_.panels[i].y;
  // Each label takes its line's height and half as much again to the next:
  // Qt leaves out a label that would touch its neighbour, but not its grid
  // line.
  const QFontMetrics y_font(axes.y->labelsFont());
  const int most_y = LabelsThatFit(shown ? plot.height() : 1e9, 1.6 * y_font.height(),
                                   y.log_scale ? kMostLogLabels : kMostLinearLabels);
  if (most_y != axes.most_y) {
    axes.most_y = most_y;
    if (y.log_scale) {
      const LogAxisPlan decades = PlanLogDecades(y.decades.low, y.decades.high, most_y);
      std::vector<double> values(decades.exponents.begin(), decades.exponents.end());
      SetCategories(axes.y, decades.low, values, decades.labels);
    } else {
      LinearAxisPlan ticks = AxisTicks(y, most_y, false);
      for (double& v : ticks.values) v *= axes.scale;
      SetCategories(axes.y, y.low * axes.scale, ticks.values, ticks.labels);
    }
  }
  // The widest label with room on either side: the last iterate's, or the
  // longest a curve fit's x may get.
  const QFontMetrics x_font(axes.x->labelsFont());
  qreal widest = x_font.horizontalAdvance(QString::number(static_cast<qint64>(plan_.x.high)));
  if (!plan_.whole_x) {
    for (const std::string& label : AxisTicks(plan_.x, kMostXLabels, false).labels)
      widest = std::max<qreal>(widest, x_font.horizontalAdvance(QString::fromStdString(label)));
  }
  const int most_x = LabelsThatFit(shown ? plot.width() : 1e9, 2 * widest + 16, kMostXLabels);
  if (most_x != axes.most_x) {
    axes.most_x = most_x;
    const LinearAxisPlan ticks = AxisTicks(plan_.x, most_x, plan_.whole_x);
    if (auto* labelled = qobject_cast<QCategoryAxis*>(axes.x)) {
      SetCategories(labelled, plan_.x.low, ticks.values, ticks.labels);
    } else {
      axes.x->setTickInterval(ticks.step);
    }
  }
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
  int row_height = 10;  // the swatch's
  for (QAbstractSeries* s : series) {
    const auto* xy = static_cast<const QXYSeries*>(s);
    auto* swatch = new QLabel(legend);
    swatch->setFixedSize(18, 10);
    const QColor colour =
        s->type() == QAbstractSeries::SeriesTypeScatter ? xy->color() : xy->pen().color();
    swatch->setStyleSheet(QStringLiteral("background:%1").arg(colour.name()));
    auto* name = new QLabel(s->name(), legend);
    name->setFont(ChartFont(9));
    row_height = std::max(row_height, name->sizeHint().height());
    grid->addWidget(swatch, at / columns, 2 * (at % columns));
    grid->addWidget(name, at / columns, 2 * (at % columns) + 1);
    ++at;
  }
  for (int c = 0; c < columns; ++c) grid->setColumnStretch(2 * c + 1, 1);
  // As high as its rows, up to kLegendRows, measured in the font they are
  // written in; more scroll. The chart above gives up the room, not they.
  const int rows = std::min((static_cast<int>(series.size()) + columns - 1) / columns, kLegendRows);
  const QMargins margins = grid->contentsMargins();
  const int spacing = std::max(0, grid->verticalSpacing());
  const int height =
      rows == 0 ? 0 : margins.top() + rows * row_height + (rows - 1) * spacing + margins.bottom();
  scroll->setMinimumHeight(height);
  scroll->setMaximumHeight(height);
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
