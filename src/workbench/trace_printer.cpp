#include "workbench/trace_printer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "desk/print_cells.h"
#include "desk/workbench_texts.h"
#include "workbench/qt_dialogs.h"

namespace matcalc::workbench {
namespace {

constexpr double kMarginMm = 15;
// Work shorter than this shows no progress box; longer work shows it by then,
// and the window's events are handled every kEventsEveryMs after.
constexpr int kProgressDelayMs = 30;
constexpr int kEventsEveryMs = 40;
constexpr double kMmPerPoint = 25.4 / 72;

// The trace's font: every Latin character one cell, every CJK character two.
// WenQuanYi first: the Noto CJK fonts draw some ideographs with the glyphs of
// the look-alike radicals, and a PDF's text then reads 行 back as U+2F8F, so
// that searching or copying from the PDF fails.
QFont TraceFont(double point_size) {
  QFont font;
  font.setFamilies(
      {QStringLiteral("WenQuanYi Zen Hei Mono"), QStringLiteral("Noto Sans Mono CJK SC")});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSizeF(point_size);
  return font;
}

QFont HeaderFont() {
  QFont font;
  font.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")});
  font.setPointSizeF(9);
  return font;
}

// The width of the font's cell per point of its size (its share of an em),
// measured once, independent of any screen's resolution.
double CellPerPoint() {
  static const double ratio = [] {
    QFont font = TraceFont(10);
    font.setPixelSize(1000);
    return QFontMetricsF(font).horizontalAdvance(QLatin1Char('0')) / 1000;
  }();
  return ratio;
}

// Splits `line` into pieces of at most `cells` cells, never inside a
// character.
QStringList Wrap(const QString& line, int cells) {
  QStringList pieces;
  QString piece;
  int width = 0;
  for (const char32_t c : line.toUcs4()) {
    const int w = IsWideInPrint(c) ? 2 : 1;
    if (width + w > cells && !piece.isEmpty()) {
      pieces << piece;
      piece.clear();
      width = 0;
    }
    piece += QString::fromUcs4(&c, 1);
    width += w;
  }
  pieces << piece;
  return pieces;
}

// The usable width of an A4 page in points, between the margins.
double UsableWidth(QPageLayout::Orientation orientation) {
  const QSizeF mm = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
  const double width = orientation == QPageLayout::Portrait ? mm.width() : mm.height();
  return (width - 2 * kMarginMm) / kMmPerPoint;
}

}  // namespace

int CellWidth(const QString& line) {
  int cells = 0;
  const qsizetype size = line.size();
  for (qsizetype i = 0; i < size; ++i) {
    char32_t c = line[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < size && line[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(line[i], line[i + 1]);
      ++i;
    }
    cells += IsWideInPrint(c) ? 2 : 1;
  }
  return cells;
}

TracePrinter::TracePrinter(const QString& text, QString caption, QDateTime when)
    : own_(std::make_unique<QTextDocument>()),
      document_(own_.get()),
      caption_(std::move(caption)),
      when_(std::move(when)) {
  QString lf = text;
  lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lf.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  own_->setPlainText(lf);
  Measure({});
}

TracePrinter::TracePrinter(const QTextDocument& document, QString caption, QDateTime when,
                           const MeasureProgress& going_on)
    : document_(&document), caption_(std::move(caption)), when_(std::move(when)) {
  Measure(going_on);
}

TracePrinter::~TracePrinter() = default;

void TracePrinter::Measure(const MeasureProgress& going_on) {
  // A last empty line is the break that ends the trace's last line.
  qint64 lines = document_->blockCount();
  if (document_->lastBlock().length() <= 1) --lines;
  cells_.reserve(static_cast<std::size_t>(std::max<qint64>(lines, 0)));
  QElapsedTimer clock;
  clock.start();
  QTextBlock block = document_->begin();
  for (qint64 i = 0; i < lines; ++i, block = block.next()) {
    const int cells = CellWidth(block.text());
    cells_.push_back(cells);
    widest_ = std::max(widest_, cells);
    if (going_on && (i & 15) == 0 && clock.elapsed() >= kEventsEveryMs / 2) {
      clock.restart();
      if (!going_on(i, lines)) return;
    }
  }
  measured_ = true;
  // Portrait at the normal size if it fits, else landscape, set smaller down
  // to the smallest size; wider lines than that are wrapped.
  if (FittingSize(UsableWidth(QPageLayout::Portrait)) >= kPointSize) return;
  orientation_ = QPageLayout::Landscape;
  point_size_ = FittingSize(UsableWidth(QPageLayout::Landscape));
}

double TracePrinter::FittingSize(double width_points) const {
  const double needed = std::max(widest_, 1) * CellPerPoint();
  return std::clamp(std::floor(width_points / needed * 10) / 10, kSmallestPointSize, kPointSize);
}

void TracePrinter::ApplyPageLayout(QPagedPaintDevice& device) const {
  device.setPageSize(QPageSize(QPageSize::A4));
  device.setPageOrientation(orientation_);
  device.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                        QPageLayout::Millimeter);
}

int TracePrinter::Paint(QPagedPaintDevice& device, const PageProgress& going_on,
                        const LineSource& source, int most_pages) const {
  QTextBlock block = document_->begin();
  // The lines in order: from the document, or from whoever reads it.
  const LineSource next = source ? source : LineSource([&block](QString& line) {
    if (!block.isValid()) return false;
    line = block.text();
    block = block.next();
    return true;
  });
  QPainter painter;
  if (!painter.begin(&device)) return 0;
  const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiX());
  const double area_width = page.width();
  const double area_height = page.height();

  // The paper and orientation are the device's (a print dialog may have
  // changed them): the font fits the width it has.
  const QFont body =
      TraceFont(FittingSize(device.pageLayout().paintRect(QPageLayout::Point).width()));
  const QFont header = HeaderFont();
  const QFontMetricsF body_metrics(body, &device);
  const QFontMetricsF header_metrics(header, &device);
  const double cell = body_metrics.horizontalAdvance(QLatin1Char('0'));
  const int cells = std::max(1, static_cast<int>(area_width / cell));
  const double line_height = body_metrics.lineSpacing();
  const double header_height = header_metrics.lineSpacing() * 1.6;
  const double footer_height = header_metrics.lineSpacing() * 1.6;
  const int per_page =
      std::max(1, static_cast<int>((area_height - header_height - footer_height) / line_height));

  // The printed rows: each trace line, wrapped where it must be; a
  // continuation is marked. Only the widths are kept: a page's lines are read
  // from the document as it is painted.
  qint64 rows = 0;
  for (const int width : cells_) rows += std::max(1, (width + cells - 1) / cells);
  const int pages = static_cast<int>(std::max<qint64>(1, (rows + per_page - 1) / per_page));
  const QString date = when_.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
  std::size_t line = 0;
  QStringList pieces;  // the line being printed, wrapped
  qsizetype piece = 0;
  // A preview holds every page it shows: a long trace shows its first pages.
  const int painted = most_pages > 0 ? std::min(pages, most_pages) : pages;
  for (int p = 0; p < painted; ++p) {
    if (going_on && !going_on(p + 1, painted)) {
      // An aborted print job has ended the painting already.
      if (painter.isActive()) painter.end();
      return -1;
    }
    if (p > 0) device.newPage();
    painter.setFont(header);
    painter.setPen(Qt::black);
    const double header_base = header_metrics.ascent();
    painter.drawText(QPointF(0, header_base), caption_);
    painter.drawText(QPointF(area_width - header_metrics.horizontalAdvance(date), header_base),
                     date);
    const double rule = header_metrics.lineSpacing() * 1.2;
    painter.drawLine(QPointF(0, rule), QPointF(area_width, rule));
    QString number = QStringLiteral("第 %1 页，共 %2 页").arg(p + 1).arg(pages);
    if (painted < pages && p + 1 == painted) {
      number += QStringLiteral("（预览只显示前 %1 页，打印和导出 PDF 输出全部 %2 页）")
                    .arg(painted)
                    .arg(pages);
    }
    painter.drawText(QPointF((area_width - header_metrics.horizontalAdvance(number)) / 2,
                             area_height - header_metrics.descent()),
                     number);

    painter.setFont(body);
    double y = header_height + body_metrics.ascent();
    for (int r = 0; r < per_page && line < cells_.size(); ++r) {
      if (piece == 0) {
        QString text;
        if (!next(text)) {
          // The lines stopped coming (the export was cancelled).
          if (painter.isActive()) painter.end();
          return -1;
        }
        pieces = cells_[line] <= cells ? QStringList{std::move(text)} : Wrap(text, cells);
      }
      if (piece > 0) {
        painter.setFont(header);
        painter.drawText(QPointF(-header_metrics.horizontalAdvance(QStringLiteral("↪ ")), y),
                         QStringLiteral("↪"));
        painter.setFont(body);
      }
      painter.drawText(QPointF(0, y), pieces[piece]);
      y += line_height;
      if (++piece == pieces.size()) {
        piece = 0;
        ++line;
      }
    }
  }
  painter.end();
  return painted;
}

QString PrintCaption(const QString& method_caption) {
  return method_caption.isEmpty()
             ? kProgramTitle
             : QString::fromUtf8(kPrintCaption.data(), static_cast<qsizetype>(kPrintCaption.size()))
                   .arg(method_caption);
}

bool WriteTracePdf(const QString& path, const TracePrinter& printer, QString* error,
                   const PageProgress& going_on, const LineSource& lines) {
  // A temporary file beside the target, renamed over it once whole: a
  // cancelled or failed export leaves a PDF that was there as it was.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error != nullptr) *error = file.errorString();
    return false;
  }
  {
    QPdfWriter writer(&file);
    writer.setResolution(600);
    writer.setTitle(kProgramTitle);
    writer.setCreator(kProgramTitle);
    printer.ApplyPageLayout(writer);
    const int pages = printer.Paint(writer, going_on, lines);
    if (pages == 0) {
      if (error != nullptr) *error = QStringLiteral("无法生成 PDF");
      file.cancelWriting();
      return false;
    }
    if (pages < 0) {
      if (error != nullptr) error->clear();
      file.cancelWriting();
      return false;
    }
  }
  if (!file.commit()) {
    if (error != nullptr) *error = file.errorString();
    return false;
  }
  return true;
}

namespace {

// Lines of the document read on the window's thread for a painting thread:
// at most kMostLines wait at a time.
class LineFeed {
 public:
  static constexpr std::size_t kMostLines = 4096;

  bool Wants() {
    const std::lock_guard lock(mutex_);
    return !stopped_ && lines_.size() < kMostLines;
  }
  void Push(QString line) {
    {
      const std::lock_guard lock(mutex_);
      lines_.push_back(std::move(line));
    }
    changed_.notify_all();
  }
  void Stop() {
    {
      const std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    changed_.notify_all();
  }
  // On the painting thread: the next line, or false once stopped.
  bool Next(QString& line) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopped_ || !lines_.empty(); });
    if (stopped_) return false;
    line = std::move(lines_.front());
    lines_.pop_front();
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<QString> lines_;
  bool stopped_ = false;
};

}  // namespace

bool ExportTracePdf(const QString& path, const TracePrinter& printer, const QTextDocument& document,
                    QString* error, const PageProgress& going_on) {
  LineFeed feed;
  std::atomic<int> page{0};
  std::atomic<int> pages{0};
  std::atomic<bool> cancelled{false};
  std::atomic<bool> done{false};
  bool written = false;
  QString reason;
  std::thread painting([&] {
    written = WriteTracePdf(
        path, printer, &reason,
        [&](int p, int n) {
          page = p;
          pages = n;
          return !cancelled.load();
        },
        [&feed](QString& line) { return feed.Next(line); });
    done = true;
  });
  // The window's thread reads the lines (the document is not to be touched
  // from another thread) and keeps the box going; the painting, the fonts
  // put into the file and the writing happen beside it.
  QTextBlock block = document.begin();
  QElapsedTimer slice;
  while (!done) {
    slice.start();
    while (block.isValid() && feed.Wants() && slice.elapsed() < kEventsEveryMs / 2) {
      feed.Push(block.text());
      block = block.next();
    }
    // Pages 0 until the painting thread has laid them out.
    if (!cancelled && going_on && !going_on(std::max(1, page.load()), pages)) {
      cancelled = true;
      feed.Stop();
    }
    if (!block.isValid() || !feed.Wants()) QThread::msleep(2);
  }
  feed.Stop();
  painting.join();
  if (error != nullptr) *error = cancelled ? QString() : reason;
  return written && !cancelled;
}

struct PrintProgress::Box {
  QWidget* parent;
  std::unique_ptr<QProgressDialog> dialog;
  QElapsedTimer since_start;
  QElapsedTimer since_events;

  // False once 取消 was pressed. The box comes up once the work has taken
  // kProgressDelayMs; from then on the window's events are handled a few
  // times a second, not at every line or page.
  bool Tell(const QString& label, qint64 done, qint64 total) {
    if (dialog == nullptr) {
      if (since_start.elapsed() < kProgressDelayMs) return true;
      dialog = std::make_unique<QProgressDialog>(parent);
      dialog->setWindowTitle(kProgramTitle);
      dialog->setCancelButtonText(QStringLiteral("取消"));
      dialog->setWindowModality(Qt::WindowModal);
      dialog->setMinimumDuration(0);
      dialog->setAutoClose(false);
      dialog->setAutoReset(false);
      dialog->setRange(0, 1000);
      dialog->show();
      since_events.invalidate();
    }
    if (since_events.isValid() && since_events.elapsed() < kEventsEveryMs) return true;
    since_events.start();
    dialog->setLabelText(label);
    dialog->setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
    // The window's events are handled here, 取消 included (the box itself
    // handles them only when its value changes, which on a long trace may
    // take many pages).
    QCoreApplication::processEvents();
    return !dialog->wasCanceled();
  }
};

PrintProgress::PrintProgress(QWidget* parent) : box_(std::make_shared<Box>()) {
  box_->parent = parent;
  box_->since_start.start();
}

PrintProgress::~PrintProgress() = default;

MeasureProgress PrintProgress::measuring() {
  return [box = box_](qint64 done, qint64 total) {
    return box->Tell(QStringLiteral("正在准备打印：第 %1 行，共 %2 行……").arg(done).arg(total),
                     done, total);
  };
}

PageProgress PrintProgress::painting() {
  return [box = box_](int page, int pages) {
    return box->Tell(QStringLiteral("正在排版第 %1 页，共 %2 页……").arg(page).arg(pages), page - 1,
                     pages);
  };
}

PageProgress PaintingProgressBox(QWidget* parent) { return PrintProgress(parent).painting(); }

void PrintTrace(QWidget* parent, const TracePrinter& printer, const PageProgress& box) {
  QPrinter device(QPrinter::HighResolution);
  printer.ApplyPageLayout(device);
  QPrintDialog dialog(&device, parent);
  dialog.setWindowTitle(QStringLiteral("打印"));
  if (dialog.exec() != QDialog::Accepted) return;
  // A stopped print job is abandoned whole: nothing goes to the printer.
  printer.Paint(device, [&](int page, int pages) {
    if (box(page, pages)) return true;
    device.abort();
    return false;
  });
}

void PreviewTrace(QWidget* parent, const TracePrinter& printer) {
  QPrinter device(QPrinter::HighResolution);
  printer.ApplyPageLayout(device);
  QPrintPreviewDialog dialog(&device, parent);
  dialog.setWindowTitle(QStringLiteral("打印预览"));
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                   [&printer, &dialog](QPrinter* target) {
                     printer.Paint(*target, PaintingProgressBox(&dialog), {},
                                   TracePrinter::kMostPreviewPages);
                   });
  dialog.exec();
}

}  // namespace matcalc::workbench
