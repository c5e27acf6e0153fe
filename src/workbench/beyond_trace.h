// The window's features beyond the trace, kept apart from the form: 文件 gains
// 打印..., 打印预览 and 导出 PDF... above 退出, 显示 gains 收敛图, and the
// status line a label with the hints while typing. The form hands each
// command the series log and says when a command has ended.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

#include "frame/convergence.h"

class QLabel;
class QMainWindow;
class QPlainTextEdit;

namespace matcalc::workbench {

class ChartWindow;
class ExportPicker;
class TypingHints;

class BeyondTrace : public QObject {
  Q_OBJECT
 public:
  // Adds the items FilePrint, FilePrintPreview, FileExportPdf (to mnuFile,
  // before its item File) and ShowChart (to the end of mnuShow) of `window`,
  // and the hints label (HintsLabel) to its status bar.
  BeyondTrace(QMainWindow& window, QPlainTextEdit& text1, QPlainTextEdit& text2);
  ~BeyondTrace() override;

  // The log the next command records its series in, and the moment it
  // starts.
  ConvergenceLog* series() { return &running_; }
  void CommandStarts();
  // The command captioned `caption` has ended; `ran` unless it was stopped.
  // When it changed the result pane, the chart shows its series.
  void CommandEnded(const QString& caption, bool ran);

  // The tests answer the export dialogs themselves; null restores the real one.
  void SetExportPicker(ExportPicker* picker);

  void Print();
  void Preview();
  void ExportPdf();
  void ShowChart();

  const ConvergenceLog& shown_series() const { return shown_; }
  ChartWindow* chart_window() const;
  TypingHints* hints() const { return hints_; }
  QLabel* hints_label() const { return hints_label_; }
  // The header caption of a printout of the result pane as it is now.
  QString PrintCaptionNow() const;

 private:
  ExportPicker& picker();
  // The chart's empty state: the result pane holds no method's trace.
  void ShowNoSeries();

  QMainWindow& window_;
  QPlainTextEdit& text2_;
  QLabel* hints_label_;
  TypingHints* hints_;
  QPointer<ChartWindow> chart_;
  std::unique_ptr<ExportPicker> own_picker_;
  ExportPicker* picker_override_ = nullptr;
  ConvergenceLog running_;
  ConvergenceLog shown_;
  QString shown_caption_;
  // Changes of the result pane so far, at the start of the command running,
  // and when the last command's trace was shown: an edit, an open or a new
  // document since then makes the trace no longer the method's own.
  quint64 text2_changes_ = 0;
  quint64 changes_at_start_ = 0;
  quint64 shown_changes_ = ~quint64{0};
  bool command_running_ = false;
};

}  // namespace matcalc::workbench
