// The convergence chart of the last iterative command: what its iterates or
// passes converged to, drawn from the series the method recorded (never from
// its trace), as the desk layer's chart plan says (desk/chart_plan.h).
#pragma once

#include <QDialog>
#include <QString>

#include "frame/convergence.h"

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

  // The charts as they are shown, as a picture.
  bool SavePng(const QString& path);
  bool SaveSvg(const QString& path);

 private:
  QLabel* note_;
  QChart* upper_;
  QChart* lower_;
  QChartView* upper_view_;
  QChartView* lower_view_;
  QWidget* charts_;
  bool empty_ = true;
};

// The window the 显示 menu opens: the chart and its export buttons.
class ChartWindow : public QDialog {
  Q_OBJECT
 public:
  ChartWindow(QWidget* parent, ExportPicker* picker);
  ConvergenceChart* chart() const { return chart_; }
  void SetPicker(ExportPicker* picker) { picker_ = picker; }

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
