// The convergence chart of the last iterative command: what its iterates or
// passes converged to, drawn from the series the method recorded (never from
// its trace), as the desk layer's chart plan says (desk/chart_plan.h).
#pragma once

#include <QDialog>
#include <QString>

#include "frame/convergence.h"

class QAbstractSeries;
class QChart;
class QChartView;
class QLabel;
class QPushButton;

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
  // Lists `series` with their colours under their chart; hidden when none.
  void FillLegend(QWidget* legend, const QList<QAbstractSeries*>& series);

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
