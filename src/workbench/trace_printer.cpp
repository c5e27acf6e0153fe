#include "workbench/trace_printer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <algorithm>
#include <cmath>
#include <memory>

#include "desk/workbench_texts.h"
#include "workbench/qt_dialogs.h"

namespace matcalc::workbench {
namespace {

constexpr double kMarginMm = 15;
// A painting shorter than this shows no progress box.
constexpr int kProgressDelayMs = 400;
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

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
         (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
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
    const int w = IsWide(c) ? 2 : 1;
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
  for (const char32_t c : line.toUcs4()) cells += IsWide(c) ? 2 : 1;
  return cells;
}

TracePrinter::TracePrinter(const QString& text, QString caption, QDateTime when)
    : caption_(std::move(caption)), when_(std::move(when)) {
  QString lf = text;
  lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lf.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  lines_ = lf.split(QLatin1Char('\n'));
  if (!lines_.isEmpty() && lines_.back().isEmpty()) lines_.removeLast();
  for (const QString& line : lines_) widest_ = std::max(widest_, CellWidth(line));
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

int TracePrinter::Paint(QPagedPaintDevice& device, const PageProgress& going_on) const {
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
  // continuation is marked.
  struct Row {
    QString text;
    bool continued;
  };
  std::vector<Row> rows;
  rows.reserve(static_cast<std::size_t>(lines_.size()));
  for (const QString& line : lines_) {
    if (CellWidth(line) <= cells) {
      rows.push_back({line, false});
      continue;
    }
    bool first = true;
    for (const QString& piece : Wrap(line, cells)) {
      rows.push_back({piece, !first});
      first = false;
    }
  }
  const int pages = std::max(1, static_cast<int>((rows.size() + per_page - 1) / per_page));
  const QString date = when_.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
  for (int p = 0; p < pages; ++p) {
    if (going_on && !going_on(p + 1, pages)) {
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
    const QString number = QStringLiteral("第 %1 页，共 %2 页").arg(p + 1).arg(pages);
    painter.drawText(QPointF((area_width - header_metrics.horizontalAdvance(number)) / 2,
                             area_height - header_metrics.descent()),
                     number);

    painter.setFont(body);
    double y = header_height + body_metrics.ascent();
    const std::size_t first = static_cast<std::size_t>(p) * per_page;
    const std::size_t last = std::min(rows.size(), first + static_cast<std::size_t>(per_page));
    for (std::size_t r = first; r < last; ++r) {
      if (rows[r].continued) {
        painter.setFont(header);
        painter.drawText(QPointF(-header_metrics.horizontalAdvance(QStringLiteral("↪ ")), y),
                         QStringLiteral("↪"));
        painter.setFont(body);
      }
      painter.drawText(QPointF(0, y), rows[r].text);
      y += line_height;
    }
  }
  painter.end();
  return pages;
}

QString PrintCaption(const QString& method_caption) {
  return method_caption.isEmpty()
             ? kProgramTitle
             : QString::fromUtf8(kPrintCaption.data(), static_cast<qsizetype>(kPrintCaption.size()))
                   .arg(method_caption);
}

bool WriteTracePdf(const QString& path, const TracePrinter& printer, QString* error,
                   const PageProgress& going_on) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    if (error != nullptr) *error = file.errorString();
    return false;
  }
  {
    QPdfWriter writer(&file);
    writer.setResolution(600);
    writer.setTitle(kProgramTitle);
    writer.setCreator(kProgramTitle);
    printer.ApplyPageLayout(writer);
    const int pages = printer.Paint(writer, going_on);
    if (pages == 0) {
      if (error != nullptr) *error = QStringLiteral("无法生成 PDF");
      return false;
    }
    if (pages < 0) {
      if (error != nullptr) error->clear();
      file.remove();
      return false;
    }
  }
  if (file.error() != QFileDevice::NoError) {
    if (error != nullptr) *error = file.errorString();
    return false;
  }
  file.close();
  return true;
}

PageProgress PaintingProgressBox(QWidget* parent) {
  // Made at the first page, gone with the last copy of the function. The
  // window's events are handled a few times a second, not at every page.
  struct Shown {
    std::unique_ptr<QProgressDialog> box;
    QElapsedTimer since_events;
  };
  auto shown_box = std::make_shared<Shown>();
  return [parent, shown_box](int page, int pages) {
    std::unique_ptr<QProgressDialog>& box = shown_box->box;
    if (box == nullptr) {
      box = std::make_unique<QProgressDialog>(parent);
      QProgressDialog& made = *box;
      made.setWindowTitle(kProgramTitle);
      made.setCancelButtonText(QStringLiteral("取消"));
      made.setWindowModality(Qt::WindowModal);
      made.setMinimumDuration(kProgressDelayMs);
      made.setAutoClose(false);
      made.setAutoReset(false);
      made.setRange(0, pages);
      made.setValue(0);
      shown_box->since_events.start();
    }
    if (shown_box->since_events.elapsed() < kEventsEveryMs) return true;
    shown_box->since_events.restart();
    box->setLabelText(QStringLiteral("正在排版第 %1 页，共 %2 页……").arg(page).arg(pages));
    // The box handles the window's events here, 取消 included.
    box->setValue(page - 1);
    return !box->wasCanceled();
  };
}

void PrintTrace(QWidget* parent, const TracePrinter& printer) {
  QPrinter device(QPrinter::HighResolution);
  printer.ApplyPageLayout(device);
  QPrintDialog dialog(&device, parent);
  dialog.setWindowTitle(QStringLiteral("打印"));
  if (dialog.exec() != QDialog::Accepted) return;
  const PageProgress box = PaintingProgressBox(parent);
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
                     printer.Paint(*target, PaintingProgressBox(&dialog));
                   });
  dialog.exec();
}

}  // namespace matcalc::workbench
