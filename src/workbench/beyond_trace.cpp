#include "workbench/beyond_trace.h"

#include <QAction>
#include <QDateTime>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <functional>

#include "workbench/convergence_chart.h"
#include "workbench/export_picker.h"
#include "workbench/qt_dialogs.h"
#include "workbench/trace_printer.h"
#include "workbench/typing_hints.h"

namespace matcalc::workbench {
namespace {

// Connects the window's item `name` (made from the shared menu table,
// desk/menus.h) to `run`.
void Connect(QMainWindow& window, const char* name, const std::function<void()>& run) {
  for (QAction* action : window.findChildren<QAction*>(QString::fromLatin1(name))) {
    QObject::connect(action, &QAction::triggered, action, [run] { run(); });
  }
}

}  // namespace

BeyondTrace::BeyondTrace(QMainWindow& window, QPlainTextEdit& text1, QPlainTextEdit& text2)
    : QObject(&window),
      window_(window),
      text2_(text2),
      hints_label_(new QLabel(&window)),
      hints_(new TypingHints(&text1, hints_label_)),
      own_picker_(std::make_unique<QtExportPicker>(&window)),
      running_(true),
      shown_(true) {
  hints_label_->setObjectName(QStringLiteral("HintsLabel"));
  connect(&text2, &QPlainTextEdit::textChanged, this, [this] {
    ++text2_changes_;
    // The chart follows the result pane: an empty pane (新建, 打开, or the
    // user's own deleting) has no trace to chart. A command's pane is judged
    // when it ends.
    if (!command_running_ && !shown_.empty() && text2_.document()->isEmpty()) ShowNoSeries();
  });
  window.statusBar()->addPermanentWidget(hints_label_);
  Connect(window, "FilePrint", [this] { Print(); });
  Connect(window, "FilePrintPreview", [this] { Preview(); });
  Connect(window, "FileExportPdf", [this] { ExportPdf(); });
  Connect(window, "ShowChart", [this] { ShowChart(); });
}

BeyondTrace::~BeyondTrace() = default;

ChartWindow* BeyondTrace::chart_window() const { return chart_; }

void BeyondTrace::SetExportPicker(ExportPicker* picker) {
  picker_override_ = picker;
  if (chart_ != nullptr) chart_->SetPicker(&this->picker());
}

ExportPicker& BeyondTrace::picker() {
  return picker_override_ != nullptr ? *picker_override_ : *own_picker_;
}

void BeyondTrace::CommandStarts() {
  changes_at_start_ = text2_changes_;
  command_running_ = true;
}

void BeyondTrace::ShowNoSeries() {
  shown_ = ConvergenceLog(true);
  shown_caption_.clear();
  if (chart_ != nullptr) chart_->SetLog(shown_, shown_caption_);
}

void BeyondTrace::CommandEnded(const QString& caption, bool ran) {
  command_running_ = false;
  // The pane still shows the trace before: so does the chart.
  if (!ran || text2_changes_ == changes_at_start_) return;
  shown_ = running_;
  shown_caption_ = caption;
  shown_changes_ = text2_changes_;
  if (chart_ != nullptr) chart_->SetLog(shown_, shown_caption_);
}

QString BeyondTrace::PrintCaptionNow() const {
  const bool ours = text2_changes_ == shown_changes_;
  return PrintCaption(ours ? shown_caption_ : QString());
}

// The pages are read from the result pane's document as they are set: the
// trace is never copied. The box over the window shows from the first moment
// (the lines are measured first) and keeps the pane as it is meanwhile.
void BeyondTrace::Print() {
  PrintProgress progress(&window_);
  const TracePrinter printer(*text2_.document(), PrintCaptionNow(), QDateTime::currentDateTime(),
                             progress.measuring());
  if (!printer.measured()) return;
  PrintTrace(&window_, printer, progress.painting());
}

void BeyondTrace::Preview() {
  PrintProgress progress(&window_);
  const TracePrinter printer(*text2_.document(), PrintCaptionNow(), QDateTime::currentDateTime(),
                             progress.measuring());
  if (!printer.measured()) return;
  PreviewTrace(&window_, printer);
}

void BeyondTrace::ExportPdf() {
  const std::optional<QString> chosen =
      picker().SaveName(QStringLiteral("导出 PDF"), QStringLiteral("计算过程.pdf"),
                        QStringLiteral("PDF 文件(*.pdf)"));
  if (!chosen) return;
  const QString name = WithSuffix(*chosen, QStringLiteral("pdf"));
  QString error;
  PrintProgress progress(&window_);
  const TracePrinter printer(*text2_.document(), PrintCaptionNow(), QDateTime::currentDateTime(),
                             progress.measuring());
  if (!printer.measured()) return;
  // A stopped export leaves the file as it was and says nothing.
  if (!ExportTracePdf(name, printer, *text2_.document(), &error, progress.painting()) &&
      !error.isEmpty()) {
    QMessageBox::warning(&window_, kProgramTitle, QStringLiteral("操作有误！\n") + error);
  }
}

void BeyondTrace::ShowChart() {
  if (chart_ == nullptr) {
    chart_ = new ChartWindow(&window_, &picker());
    chart_->setAttribute(Qt::WA_DeleteOnClose);
    chart_->SetLog(shown_, shown_caption_);
  }
  chart_->show();
  chart_->raise();
  chart_->activateWindow();
}

}  // namespace matcalc::workbench
