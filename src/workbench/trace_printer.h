// The result pane on paper or in a PDF: the trace in a monospaced CJK font so
// that its 24-character columns stay aligned, a header with the method's
// caption and the date, page numbers below. A trace too wide for a portrait
// page is turned landscape and, if need be, set smaller; only lines too long
// even then are wrapped, their continuations marked in the margin.
#pragma once

#include <QDateTime>
#include <QPageLayout>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QTextDocument;
class QWidget;

namespace matcalc::workbench {

// The width of a line in character cells: East Asian wide characters take
// two, the rest one.
int CellWidth(const QString& line);

// Told before each page is painted (`page` from 1 of `pages`); false stops
// the painting there.
using PageProgress = std::function<bool(int page, int pages)>;

// The trace's lines one after the other into `line`; false when no more come.
using LineSource = std::function<bool(QString& line)>;

// Told while the lines are measured (`done` of `total` lines); false stops.
using MeasureProgress = std::function<bool(qint64 done, qint64 total)>;

// Pages of a trace read from the result pane's document, a line at a time:
// the trace is never copied, however long it is.
class TracePrinter {
 public:
  // `text`: a trace of its own (CR LF or LF line breaks).
  TracePrinter(const QString& text, QString caption, QDateTime when);
  // The lines of `document`, which must outlive the printer and stay as it
  // is; they are measured (the widest sets the page) with `going_on` told
  // as they go.
  TracePrinter(const QTextDocument& document, QString caption, QDateTime when,
               const MeasureProgress& going_on = {});
  ~TracePrinter();
  TracePrinter(const TracePrinter&) = delete;
  TracePrinter& operator=(const TracePrinter&) = delete;

  // False when the measuring was stopped: nothing is to be printed then.
  bool measured() const { return measured_; }

  // The page orientation and the font size the trace needs on A4 paper.
  QPageLayout::Orientation orientation() const { return orientation_; }
  double point_size() const { return point_size_; }
  // Sets A4 paper, that orientation and the margins on `device`.
  void ApplyPageLayout(QPagedPaintDevice& device) const;
  // Every page onto `device` (a printer or a PDF writer) in the layout it
  // has, the font set to fit its width; the number of pages, 0 when the
  // device could not be painted on, -1 when `going_on` stopped it.
  // The lines come from the document, or from `lines` (a painting thread
  // reads them from the window's thread).
  // With `most_pages`, only the first that many pages are painted, the last
  // of them saying so (a preview holds every page it shows in memory).
  int Paint(QPagedPaintDevice& device, const PageProgress& going_on = {},
            const LineSource& lines = {}, int most_pages = 0) const;

  static constexpr double kPointSize = 10;
  static constexpr double kSmallestPointSize = 6.5;
  // 打印预览 shows at most this many pages (some tens of kilobytes each).
  static constexpr int kMostPreviewPages = 500;

 private:
  void Measure(const MeasureProgress& going_on);
  double FittingSize(double width_points) const;

  std::unique_ptr<QTextDocument> own_;  // the text given, as a document
  const QTextDocument* document_;
  std::vector<int> cells_;  // each printed line's width in cells
  int widest_ = 0;          // cells
  bool measured_ = false;
  QString caption_;
  QDateTime when_;

  QPageLayout::Orientation orientation_ = QPageLayout::Portrait;
  double point_size_ = kPointSize;
};

// The header's caption for the method that wrote the trace, or the program's
// title when no method wrote it.
QString PrintCaption(const QString& method_caption);

// Writes the trace as a PDF file; false with a reason when it could not, and
// false with no reason, the file removed, when `going_on` stopped it.
bool WriteTracePdf(const QString& path, const TracePrinter& printer, QString* error = nullptr,
                   const PageProgress& going_on = {}, const LineSource& lines = {});

// The same on a thread of its own: this thread reads `document`'s lines (the
// printer's) for it and tells `going_on` the pages done, which also stops it.
// The window's events are handled only through `going_on`.
bool ExportTracePdf(const QString& path, const TracePrinter& printer, const QTextDocument& document,
                    QString* error, const PageProgress& going_on);

// A long trace takes seconds to set: a box over `parent` shows the lines
// measured and the pages done, and offers 取消; the window repaints
// meanwhile. The box shows from the first moment a long trace is measured.
class PrintProgress {
 public:
  explicit PrintProgress(QWidget* parent);
  ~PrintProgress();
  MeasureProgress measuring();
  PageProgress painting();

 private:
  struct Box;
  std::shared_ptr<Box> box_;
};

// The same box for the painting alone.
PageProgress PaintingProgressBox(QWidget* parent);

// The 文件 menu's three commands, with their dialogs over `parent`.
void PrintTrace(QWidget* parent, const TracePrinter& printer, const PageProgress& going_on);
void PreviewTrace(QWidget* parent, const TracePrinter& printer);

}  // namespace matcalc::workbench
