// The result pane on paper or in a PDF: the trace in a monospaced CJK font so
// that its 24-character columns stay aligned, a header with the method's
// caption and the date, page numbers below. A trace too wide for a portrait
// page is turned landscape and, if need be, set smaller; only lines too long
// even then are wrapped, their continuations marked in the margin.
#pragma once

#include <QDateTime>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace matcalc::workbench {

// The width of a line in character cells: East Asian wide characters take
// two, the rest one.
int CellWidth(const QString& line);

// Told before each page is painted (`page` from 1 of `pages`); false stops
// the painting there.
using PageProgress = std::function<bool(int page, int pages)>;

class TracePrinter {
 public:
  // `text`: the result pane's text (CR LF or LF line breaks).
  TracePrinter(const QString& text, QString caption, QDateTime when);

  // The page orientation and the font size the trace needs on A4 paper.
  QPageLayout::Orientation orientation() const { return orientation_; }
  double point_size() const { return point_size_; }
  // Sets A4 paper, that orientation and the margins on `device`.
  void ApplyPageLayout(QPagedPaintDevice& device) const;
  // Every page onto `device` (a printer or a PDF writer) in the layout it
  // has, the font set to fit its width; the number of pages, 0 when the
  // device could not be painted on, -1 when `going_on` stopped it.
  int Paint(QPagedPaintDevice& device, const PageProgress& going_on = {}) const;

  static constexpr double kPointSize = 10;
  static constexpr double kSmallestPointSize = 6.5;

 private:
  QStringList lines_;
  int widest_ = 0;  // cells
  QString caption_;
  QDateTime when_;
  double FittingSize(double width_points) const;

  QPageLayout::Orientation orientation_ = QPageLayout::Portrait;
  double point_size_ = kPointSize;
};

// The header's caption for the method that wrote the trace, or the program's
// title when no method wrote it.
QString PrintCaption(const QString& method_caption);

// Writes the trace as a PDF file; false with a reason when it could not, and
// false with no reason, the file removed, when `going_on` stopped it.
bool WriteTracePdf(const QString& path, const TracePrinter& printer, QString* error = nullptr,
                   const PageProgress& going_on = {});

// A long trace takes seconds to set: a box over `parent` shows the pages done
// (after a moment) and offers 取消, and the window repaints meanwhile.
PageProgress PaintingProgressBox(QWidget* parent);

// The 文件 menu's three commands, with their dialogs over `parent`.
void PrintTrace(QWidget* parent, const TracePrinter& printer);
void PreviewTrace(QWidget* parent, const TracePrinter& printer);

}  // namespace matcalc::workbench
