// The convergence chart of the last iterative command: what its iterates or
// passes converged to, drawn from the series the method recorded (never from
// its trace), as the desk layer's chart plan says (desk/chart_plan.h).
#pragma once

#include <QDialog>
#include <QString>

#include "desk/chart_plan.h"
#include "frame/convergence.h"

class QAbstractSeries;
class QCategoryAxis;
class QChart;
class QChartView;
class QLabel;
class QPushButton;
class QValueAxis;

namespace matcalc::workbench {

class ExportPicker;

class ConvergenceChart : public QWidget {
  Q_OBJECT
 public:
  explicit ConvergenceChart(QWidget* parent = nullptr);

  // Draws `log`, recorded by the command captioned `caption`.
  void SetLog(const ConvergenceLog& log, const QString& caption);
  bool empty() const { return empty_; }

  // The upper chart (estimates, approximations or off-diagonal) and the
  // lower one (the Jacobi diagonal; hidden otherwise).
  QChart* upper() const { return upper_; }
  QChart* lower() const { return lower_; }

  // The charts as they are shown, as a picture written through a temporary
  // file beside `path`; false with the reason in `error` when it failed.
  bool SavePng(const QString& path, QString* error = nullptr);
  bool SaveSvg(const QString& path, QString* error = nullptr);

 private:
  // What one chart draws a panel of the plan with. A linear panel whose
  // values span more than the largest double is drawn in quarters of them
  // (`scale`): the labels still say the values.
  struct PanelAxes {
    QValueAxis* x = nullptr;
    QCategoryAxis* y = nullptr;
    double scale = 1;
    int most_x = 0;  // the labels the axes were last given room for
    int most_y = 0;
  };

  // Lists `series` with their colours under their chart; hidden when none.
  void FillLegend(QWidget* legend, const QList<QAbstractSeries*>& series);
  // Labels panel `i`'s axes with as many round ticks as its plot area has
  // room for, each tick labelled (none elided) and with its grid line.
  void FitTicks(std::size_t i);

  QLabel* note_;
  QChart* upper_;
  QChart* lower_;
  QChartView* upper_view_;
  QChartView* lower_view_;
  QWidget* charts_;
  QWidget* upper_pane_ = nullptr;  // a chart and its legend
  QWidget* lower_pane_ = nullptr;
  QWidget* upper_legend_ = nullptr;
  QWidget* lower_legend_ = nullptr;
  bool empty_ = true;
  ChartPlan plan_;
  PanelAxes axes_[2];
};

// The window the 显示 menu opens: the chart and its export buttons.
class ChartWindow : public QDialog {
  Q_OBJECT
 public:
  ChartWindow(QWidget* parent, ExportPicker* picker);
  ConvergenceChart* chart() const { return chart_; }
  void SetPicker(ExportPicker* picker) { picker_ = picker; }
  // Draws `log`; the export buttons are offered only when there is a chart.
  void SetLog(const ConvergenceLog& log, const QString& caption);

  void ExportPng();
  void ExportSvg();

 private:
  void Export(const QString& suffix);

  ConvergenceChart* chart_;
  QPushButton* png_;
  QPushButton* svg_;
  ExportPicker* picker_;
};

}  // namespace matcalc::workbench
