// Beyond the trace: the PDF of a trace, the convergence chart and the hints
// while typing, each on its own widgets (the window's menus are tested with
// the window).
#include <QtTest>

#include <QCategoryAxis>
#include <QChart>
#include <QFile>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "frame/convergence.h"
#include "test_support.h"
#include "workbench/about_box.h"
#include "workbench/beyond_trace.h"
#include "workbench/convergence_chart.h"
#include "workbench/export_picker.h"
#include "workbench/trace_printer.h"
#include "workbench/typing_hints.h"
#include "workbench/workbench_form.h"

using namespace matcalc;
using namespace matcalc::workbench;

namespace {

QString ReadGolden(const QString& name) {
  QFile file(QStringLiteral(MATCALC_GOLDEN_DIR) + QLatin1Char('/') + name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

// Runs a poppler tool; its standard output.
QString Poppler(const QString& tool, const QStringList& args) {
  QProcess process;
  process.start(tool, args);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

// A line with its runs of spaces as one.
QString Collapsed(const QString& line) { return line.simplified(); }

class AnsweringPicker : public ExportPicker {
 public:
  QString name;
  std::optional<QString> SaveName(const QString&, const QString&, const QString&) override {
    if (name.isEmpty()) return std::nullopt;
    return name;
  }
};

ConvergenceLog PowerLikeLog(bool gave_up) {
  ConvergenceLog log;
  for (int k = 3; k <= 12; ++k) {
    Vector e(2);
    e(1) = 3 + 1.0 / k;
    e(2) = 3 - 2.0 / k;
    log.AddVector(Quantity::kEstimate, k, e);
  }
  if (gave_up) {
    log.GiveUp(12, "参数选取不当，计算被迫终止");
  } else {
    log.Add(Quantity::kEigenvalue, 0, 12, 3.08);
  }
  return log;
}

// A command run through the core with its series recorded: the trace and
// what the chart is drawn from.
struct RecordedRun {
  std::string trace;
  ConvergenceLog log;
};

RecordedRun Record(std::string_view method, std::string_view text, std::vector<std::string> answers,
                   std::vector<Reply> replies = {}) {
  RecordedRun run;
  ScriptedDialogs dialogs(std::move(answers), std::move(replies));
  run.trace =
      RunCommand(*FindCommand(method), dialogs, text, std::string(), 6, {}, &run.log).text();
  return run;
}

// The labels and grid lines a chart's scene shows, in scene coordinates.
struct DrawnAxes {
  QRectF plot;
  QList<QGraphicsTextItem*> labels;  // visible texts beside the plot (axis labels)
  QList<QLineF> across;              // visible grid lines across the plot, inside it
  QList<QLineF> upright;
};

DrawnAxes Drawn(QChart* chart) {
  DrawnAxes drawn;
  drawn.plot = chart->mapRectToScene(chart->plotArea());
  const QRectF inner = drawn.plot.adjusted(1.5, 1.5, -1.5, -1.5);
  for (QGraphicsItem* item : chart->scene()->items()) {
    if (!item->isVisible()) continue;
    if (auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item)) {
      drawn.labels << text;
    } else if (auto* line = qgraphicsitem_cast<QGraphicsLineItem*>(item)) {
      const QLineF l(line->mapToScene(line->line().p1()), line->mapToScene(line->line().p2()));
      const bool horizontal = qAbs(l.dy()) < 0.5 && qAbs(l.dx()) > inner.width() * 0.9;
      const bool vertical = qAbs(l.dx()) < 0.5 && qAbs(l.dy()) > inner.height() * 0.9;
      if (horizontal && l.y1() > inner.top() && l.y1() < inner.bottom()) drawn.across << l;
      if (vertical && l.x1() > inner.left() && l.x1() < inner.right()) drawn.upright << l;
    }
  }
  return drawn;
}

// Every grid line drawn inside the plot has its label beside it, whole: the
// y labels left of the plot at the line's height, the x labels below it
// under the line. The faults found, one a line.
QStringList UnlabelledGridLines(QChart* chart) {
  QStringList faults;
  const DrawnAxes drawn = Drawn(chart);
  auto* y_axis = qobject_cast<QCategoryAxis*>(chart->axes(Qt::Vertical).value(0));
  if (y_axis == nullptr) return {QStringLiteral("no category y axis")};
  const QStringList y_labels = y_axis->categoriesLabels();
  for (const QLineF& line : drawn.across) {
    bool labelled = false;
    for (const QGraphicsTextItem* text : drawn.labels) {
      const QRectF box = text->sceneBoundingRect();
      labelled |= box.right() <= drawn.plot.left() + 1 &&
                  qAbs(box.center().y() - line.y1()) < box.height() / 2 &&
                  y_labels.contains(text->toPlainText());
    }
    if (!labelled) faults << QStringLiteral("y grid line at %1 has no label").arg(line.y1());
  }
  for (const QLineF& line : drawn.upright) {
    bool labelled = false;
    for (const QGraphicsTextItem* text : drawn.labels) {
      const QRectF box = text->sceneBoundingRect();
      bool number = false;
      text->toPlainText().toDouble(&number);
      labelled |= number && box.top() >= drawn.plot.bottom() - 1 &&
                  qAbs(box.center().x() - line.x1()) < box.width() / 2 + 1;
    }
    if (!labelled) faults << QStringLiteral("x grid line at %1 has no label").arg(line.x1());
  }
  // And every label the axis has is drawn whole.
  for (const QString& label : y_labels) {
    bool shown = false;
    for (const QGraphicsTextItem* text : drawn.labels) shown |= text->toPlainText() == label;
    if (!shown) faults << QStringLiteral("y label %1 not drawn").arg(label);
    if (label.contains(QChar(0x2026))) faults << QStringLiteral("y label %1 elided").arg(label);
  }
  return faults;
}

// Whether `labels` read as numbers a round step apart: 1, 2 or 5 times a
// power of ten.
bool RoundSteps(const QList<double>& values) {
  if (values.size() < 2) return true;
  const double step = values[1] - values[0];
  const double decade = std::pow(10.0, std::floor(std::log10(step)));
  const double m = step / decade;
  if (qAbs(m - 1) > 1e-9 && qAbs(m - 2) > 1e-9 && qAbs(m - 5) > 1e-9) return false;
  for (qsizetype i = 1; i < values.size(); ++i) {
    if (qAbs(values[i] - values[i - 1] - step) > step * 1e-9) return false;
  }
  return true;
}

// The x values the chart's x axis labels, read from the scene.
QList<double> XLabels(QChart* chart) {
  const DrawnAxes drawn = Drawn(chart);
  QList<double> values;
  for (const QGraphicsTextItem* text : drawn.labels) {
    bool number = false;
    const double v = text->toPlainText().toDouble(&number);
    if (number && text->sceneBoundingRect().top() >= drawn.plot.bottom() - 1) values << v;
  }
  std::sort(values.begin(), values.end());
  return values;
}

// Every legend row lies within what its scroll area shows.
QStringList HiddenLegendRows(ConvergenceChart* chart) {
  QStringList hidden;
  for (const char* name : {"UpperLegend", "LowerLegend"}) {
    auto* legend = chart->findChild<QWidget*>(QString::fromLatin1(name));
    if (legend == nullptr || !legend->isVisible()) continue;
    const QWidget* viewport = legend->parentWidget();
    for (const QLabel* label : legend->findChildren<QLabel*>()) {
      if (label->text().isEmpty()) continue;
      const QRect at(label->mapTo(viewport, QPoint(0, 0)), label->size());
      if (!viewport->rect().contains(at)) hidden << label->text();
    }
  }
  return hidden;
}

}  // namespace

class BeyondTraceTest : public QObject {
  Q_OBJECT
 private slots:
  // Three pages of Jacobi traces: every line of them is in the PDF's text, in
  // order, with the header and the page numbers around it.
  void pdfHoldsEveryLineOfTheTrace() {
    const QString trace = ReadGolden(QStringLiteral("eigen/jacobi_tridiagonal.txt")) +
                          ReadGolden(QStringLiteral("eigen/jacobi_2x2.txt")) +
                          ReadGolden(QStringLiteral("eigen/jacobi_huge_pivot.txt"));
    QVERIFY(trace.count(QStringLiteral("\r\n")) > 150);
    const TracePrinter printer(trace, PrintCaption(QStringLiteral("古典雅可比法")),
                               QDateTime(QDate(2026, 3, 1), QTime(9, 30)));
    QCOMPARE(printer.orientation(), QPageLayout::Portrait);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("trace.pdf"));
    QString error;
    QVERIFY2(WriteTracePdf(pdf, printer, &error), qPrintable(error));

    const QString info = Poppler(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\b"))));
    const QString text =
        Poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QStringList printed;
    for (const QString& line : text.split(QLatin1Char('\n'))) printed << Collapsed(line);
    qsizetype at = 0;
    for (const QString& line : trace.split(QStringLiteral("\r\n"))) {
      const QString wanted = Collapsed(line);
      if (wanted.isEmpty()) continue;
      while (at < printed.size() && printed[at] != wanted) ++at;
      QVERIFY2(at < printed.size(), qPrintable(QStringLiteral("not in the PDF: ") + wanted));
      ++at;
    }
    QVERIFY(text.contains(QStringLiteral("矩阵计算器 — 古典雅可比法")));
    QVERIFY(text.contains(QStringLiteral("2026-03-01 09:30")));
    QVERIFY(text.contains(QStringLiteral("第 3 页，共 3 页")));

    // Each page is announced before it is painted; stopped at the second,
    // the export gives no reason and leaves the PDF that was there byte for
    // byte, with no temporary file beside it.
    QByteArray before;
    {
      QFile old(pdf);
      QVERIFY(old.open(QIODevice::ReadOnly));
      before = old.readAll();
    }
    const QStringList files_before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QList<QPair<int, int>> announced;
    const auto stop_at_second = [&announced](int page, int pages) {
      announced.append({page, pages});
      return page < 2;
    };
    QVERIFY(!WriteTracePdf(pdf, printer, &error, stop_at_second));
    QVERIFY(error.isEmpty());
    {
      QFile old(pdf);
      QVERIFY(old.open(QIODevice::ReadOnly));
      QVERIFY(old.readAll() == before);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), files_before);
    QCOMPARE(announced, (QList<QPair<int, int>>{{1, 3}, {2, 3}}));
    // Going on to the end, it is the same document.
    announced.clear();
    QVERIFY(WriteTracePdf(pdf, printer, &error, [&announced](int page, int pages) {
      announced.append({page, pages});
      return true;
    }));
    QCOMPARE(announced.size(), 3);
    QVERIFY(Poppler(QStringLiteral("pdfinfo"), {pdf})
                .contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\b"))));
  }

  // A wide trace turns the page and is set smaller; no number is cut.
  void wideTracesTurnLandscape() {
    QString row;
    for (int j = 1; j <= 7; ++j)
      row += QStringLiteral("%1").arg(-1234.56789012345 * j, 24, 'g', 15);
    const QString trace = QStringLiteral("以上是所要求解的矩阵\r\n") + row + QStringLiteral("\r\n");
    const TracePrinter printer(trace, PrintCaption({}), QDateTime::currentDateTime());
    QCOMPARE(printer.orientation(), QPageLayout::Landscape);
    QVERIFY(printer.point_size() < TracePrinter::kPointSize);
    QVERIFY(printer.point_size() >= TracePrinter::kSmallestPointSize);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("wide.pdf"));
    QVERIFY(WriteTracePdf(pdf, printer));
    const QString text =
        Poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.contains(Collapsed(row).section(QLatin1Char(' '), -1)));
    QCOMPARE(Collapsed(text.split(QLatin1Char('\n')).filter(QStringLiteral("-8641")).value(0)),
             Collapsed(row));
  }

  // A preview holds its pages in memory: it paints the first ones only, and
  // the last of them says how many there are in all.
  void previewPaintsTheFirstPagesOnly() {
    const QString trace = ReadGolden(QStringLiteral("eigen/jacobi_tridiagonal.txt")) +
                          ReadGolden(QStringLiteral("eigen/jacobi_2x2.txt")) +
                          ReadGolden(QStringLiteral("eigen/jacobi_huge_pivot.txt"));
    const TracePrinter printer(trace, PrintCaption({}), QDateTime::currentDateTime());
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("first.pdf"));
    {
      QPdfWriter writer(pdf);
      printer.ApplyPageLayout(writer);
      QCOMPARE(printer.Paint(writer, {}, {}, 2), 2);
    }
    QVERIFY(Poppler(QStringLiteral("pdfinfo"), {pdf})
                .contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\b"))));
    const QString text =
        Poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.contains(
        QStringLiteral("第 2 页，共 3 页（预览只显示前 2 页，打印和导出 PDF 输出全部 3 页）")));
    QVERIFY(!text.contains(QStringLiteral("第 1 页，共 3 页（")));
  }

  void cellWidthCountsWideCharacters() {
    QCOMPARE(CellWidth(QStringLiteral("ab")), 2);
    QCOMPARE(CellWidth(QStringLiteral("特征值：1")), 9);
  }

  void chartShowsEstimatesAndTheEigenvalue() {
    ConvergenceChart chart;
    QVERIFY(chart.empty());
    chart.SetLog(PowerLikeLog(false), QStringLiteral("幂法"));
    QVERIFY(!chart.empty());
    const QList<QAbstractSeries*> series = chart.upper()->series();
    QCOMPARE(series.size(), 3);
    QCOMPARE(series[0]->name(), QStringLiteral("第 1 个分量的估计值"));
    QCOMPARE(static_cast<QLineSeries*>(series[0])->count(), 10);
    QCOMPARE(static_cast<QLineSeries*>(series[1])->at(0).y(), 3 - 2.0 / 3);
    QCOMPARE(series[2]->name(), QStringLiteral("特征值 = 3.08"));
    QVERIFY(chart.upper()->title().contains(QStringLiteral("幂法")));
    QVERIFY(!chart.upper()->title().contains(QStringLiteral("未收敛")));
    QVERIFY(chart.lower()->series().isEmpty());
    QCOMPARE(chart.upper()->axes(Qt::Horizontal).value(0)->titleText(),
             QStringLiteral("迭代次数 k"));
  }

  void chartOfARunThatGaveUpSaysWhy() {
    ConvergenceChart chart;
    chart.SetLog(PowerLikeLog(true), QStringLiteral("原点平移法"));
    QVERIFY(chart.upper()->title().contains(
        QStringLiteral("未收敛：参数选取不当，计算被迫终止（第 12 次迭代后放弃）")));
    const QList<QAbstractSeries*> series = chart.upper()->series();
    QCOMPARE(series.back()->name(), QStringLiteral("放弃处"));
    QCOMPARE(static_cast<QLineSeries*>(series.back())->at(0).x(), 12.0);
  }

  // Jacobi: the off-diagonal on a log axis (its zeros left out), the diagonal
  // in a chart of its own.
  void jacobiChartUsesALogScale() {
    ConvergenceLog log;
    Matrix a(2, 2);
    for (int k = 0; k < 4; ++k) {
      log.Add(Quantity::kOffDiagonal, 0, k, k < 3 ? std::pow(10.0, -5 * k) : 0.0);
      a(1, 1) = 2 + k;
      a(2, 2) = 2 - k;
      log.AddDiagonal(k, a, 2);
    }
    ConvergenceChart chart;
    chart.SetLog(log, QStringLiteral("古典雅可比法"));
    auto* axis = qobject_cast<QCategoryAxis*>(chart.upper()->axes(Qt::Vertical).value(0));
    QVERIFY(axis != nullptr);
    QCOMPARE(axis->categoriesLabels(),
             QStringList({QStringLiteral("1E-10"), QStringLiteral("1E-8"), QStringLiteral("1E-6"),
                          QStringLiteral("1E-4"), QStringLiteral("1E-2"), QStringLiteral("1")}));
    // The series hold the logarithms the axis is laid out in.
    QCOMPARE(static_cast<QLineSeries*>(chart.upper()->series()[0])->count(), 3);
    QCOMPARE(static_cast<QLineSeries*>(chart.upper()->series()[0])->at(2).y(), -10.0);
    QCOMPARE(chart.lower()->series().size(), 2);
    QCOMPARE(chart.upper()->axes(Qt::Horizontal).value(0)->titleText(),
             QStringLiteral("变换次数 k"));
  }

  // The iterative solvers: the error on a log axis above (a zero change left
  // out), the components from x0 below; a run that diverged at once says
  // why above its starting vector.
  void iterativeChartShowsErrorAndComponents() {
    ConvergenceLog log;
    Vector x(3);
    log.AddVector(Quantity::kComponent, 0, x);
    for (int k = 1; k <= 5; ++k) {
      for (int i = 1; i <= 3; ++i) x(i) = 1 + 0.1 * i - std::pow(10.0, -k);
      log.Add(Quantity::kError, 0, k, k < 5 ? 9 * std::pow(10.0, -k) : 0.0);
      log.AddVector(Quantity::kComponent, k, x);
    }
    ConvergenceChart chart;
    chart.SetLog(log, QStringLiteral("雅可比迭代法"));
    QVERIFY(qobject_cast<QCategoryAxis*>(chart.upper()->axes(Qt::Vertical).value(0)) != nullptr);
    QCOMPARE(chart.upper()->series().size(), 1);
    QCOMPARE(chart.upper()->series()[0]->name(), QStringLiteral("误差"));
    QCOMPARE(static_cast<QLineSeries*>(chart.upper()->series()[0])->count(), 4);
    QVERIFY(chart.upper()->title().contains(QStringLiteral("雅可比迭代法：迭代误差（对数刻度）")));
    const QList<QAbstractSeries*> lower = chart.lower()->series();
    QCOMPARE(lower.size(), 3);
    QCOMPARE(lower[2]->name(), QStringLiteral("x3"));
    QCOMPARE(static_cast<QLineSeries*>(lower[0])->count(), 6);
    QCOMPARE(static_cast<QLineSeries*>(lower[0])->at(0).x(), 0.0);
    QVERIFY(qobject_cast<QValueAxis*>(chart.lower()->axes(Qt::Vertical).value(0)) != nullptr);
    QCOMPARE(chart.lower()->title(), QStringLiteral("雅可比迭代法：各次迭代向量的分量"));
    QCOMPARE(chart.upper()->axes(Qt::Horizontal).value(0)->titleText(),
             QStringLiteral("迭代次数 k"));

    ConvergenceLog diverged;
    diverged.AddVector(Quantity::kComponent, 0, Vector(2));
    diverged.GiveUp(1, "迭代发散：第 1 次迭代向量的分量超出了数的范围");
    chart.SetLog(diverged, QStringLiteral("高斯-赛德尔迭代法"));
    QCOMPARE(chart.upper()->series().back()->name(), QStringLiteral("放弃处"));
    QVERIFY(chart.upper()->title().contains(QStringLiteral(
        "未收敛：迭代发散：第 1 次迭代向量的分量超出了数的范围（第 1 次迭代后放弃）")));
    QVERIFY(chart.upper()->title().startsWith(QStringLiteral("高斯-赛德尔迭代法：迭代误差")));
    // With nothing drawn the mark still spans a decade of the empty log axis.
    const auto* mark = static_cast<QLineSeries*>(chart.upper()->series().back());
    QVERIFY(mark->at(1).y() > mark->at(0).y());
    QCOMPARE(chart.lower()->series().size(), 3);
  }

  // A Jacobi run with eps 0 spans some 160 decades: a few round ones are
  // labelled, in E notation, none elided, the picture shows them, and the
  // run's giving up is told once, in the chart's title.
  void logAxisOverManyDecadesStaysReadable() {
    ConvergenceLog log;
    Matrix a(2, 2);
    for (int k = 0; k <= 40; ++k) {
      log.Add(Quantity::kOffDiagonal, 0, k, 3 * std::pow(10.0, -4 * k));
      log.AddDiagonal(k, a, 2);
    }
    log.GiveUp(40, "迭代次数超过上限");
    ChartWindow window(nullptr, nullptr);
    window.SetLog(log, QStringLiteral("古典雅可比法"));
    window.resize(700, 560);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* axis = qobject_cast<QCategoryAxis*>(window.chart()->upper()->axes(Qt::Vertical).value(0));
    QVERIFY(axis != nullptr);
    QVERIFY(axis->max() - axis->min() >= 160);
    const QStringList labels = axis->categoriesLabels();
    QVERIFY(labels.size() >= 4);
    QVERIFY(labels.size() <= 8);
    for (const QString& label : labels) {
      QVERIFY(!label.contains(QChar(0x2026)));
      QVERIFY(label == QStringLiteral("1") || label.startsWith(QStringLiteral("1E")));
    }
    QVERIFY(!axis->truncateLabels());
    const QString title = window.chart()->upper()->title();
    QCOMPARE(title.count(QStringLiteral("未收敛")), 1);
    const auto* note = window.chart()->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(note == nullptr || !note->isVisible() || !note->text().contains("未收敛"));
  }

  // The chart window at the size it opens with, on runs whose values reach
  // far: every grid line drawn is labelled and every label drawn whole, the
  // ticks of the iterates (a curve fit's x) stand a round step apart, a
  // fit's points lie over its curve, and every legend row is in view.
  void chartAtItsOpeningSizeLabelsEveryGridLine_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("which");
    QTest::newRow("Jacobi eps 0, 160 decades") << QStringLiteral("古典雅可比法") << 0;
    QTest::newRow("diverging Jacobi iteration") << QStringLiteral("雅可比迭代法") << 1;
    QTest::newRow("the whole range of a double") << QStringLiteral("雅可比迭代法") << 2;
    QTest::newRow("8 estimates, eigenvalue, give-up") << QStringLiteral("幂法") << 3;
    QTest::newRow("curve fit over x from 0 to 1") << QStringLiteral("最小二乘曲线拟合") << 4;
    QTest::newRow("QR method, two complex pairs") << QStringLiteral("QR 方法求全部特征值") << 5;
  }
  void chartAtItsOpeningSizeLabelsEveryGridLine() {
    QFETCH(QString, caption);
    QFETCH(int, which);
    ConvergenceLog log;
    if (which == 0) {
      log = Record("jacobi", "4 1 -2 2\r\n1 2 0 1\r\n-2 0 3 -2\r\n2 1 -2 -1", {"4", "0"},
                   {Reply::kYes})
                .log;
    } else if (which == 1) {
      log = Record("jacobi-iteration", "1 100 101\r\n100 1 101", {"2", "0.0001", "200"}).log;
    } else if (which == 2) {
      // From the smallest subnormal to the largest double, and components
      // at both ends of the range.
      Vector x(2);
      for (int k = 0; k <= 40; ++k) {
        const double big = std::numeric_limits<double>::max() / std::pow(10.0, 40 - k);
        x(1) = k % 2 == 0 ? big : -big;
        x(2) = -x(1);
        log.AddVector(Quantity::kComponent, k, x);
        if (k > 0) {
          log.Add(Quantity::kError, 0, k,
                  k == 1 ? std::numeric_limits<double>::denorm_min()
                         : std::numeric_limits<double>::max() / std::pow(10.0, 40 - k));
        }
      }
    } else if (which == 4) {
      log = Record("curve-fit", "0 1.1\r\n0.2 1.9\r\n0.4 3.2\r\n0.6 4.8\r\n0.8 7.1\r\n1 9.9",
                   {"6", "2"})
                .log;
    } else if (which == 5) {
      log = Record("qr-eigenvalues",
                   "4 -2 1 3 0 1\r\n1 3 -1 2 2 0\r\n0 2 5 -3 1 1\r\n2 1 0 1 -2 3\r\n"
                   "1 0 2 1 6 -1\r\n3 1 -1 0 1 2",
                   {"6", "1e-10", "600"})
                .log;
    } else {
      for (int k = 1; k <= 60; ++k) {
        Vector e(8);
        for (int i = 1; i <= 8; ++i) e(i) = i * 1e6 + 1e7 / k;
        log.AddVector(Quantity::kEstimate, k, e);
      }
      log.Add(Quantity::kEigenvalue, 0, 60, 8.2e6);
      log.GiveUp(60, "迭代次数超过上限");
    }
    ChartWindow window(nullptr, nullptr);
    window.SetLog(log, caption);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(820, 640));
    for (QChart* chart : {window.chart()->upper(), window.chart()->lower()}) {
      if (chart->series().isEmpty()) continue;
      QTRY_COMPARE_WITH_TIMEOUT(UnlabelledGridLines(chart), QStringList(), kPatienceMs);
      auto* y_axis = qobject_cast<QCategoryAxis*>(chart->axes(Qt::Vertical).value(0));
      QVERIFY(y_axis->categoriesLabels().size() >= 3);
      const QList<double> x = XLabels(chart);
      QVERIFY2(x.size() >= 3, qPrintable(QString::number(x.size())));
      QVERIFY2(RoundSteps(x), qPrintable(QString::number(x[1] - x[0])));
    }
    if (which == 4) {
      QCOMPARE(window.chart()->upper()->series().back()->name(), QStringLiteral("数据点"));
    }
    QCOMPARE(HiddenLegendRows(window.chart()), QStringList());
  }

  // A diverging iteration is drawn to the last iterate its trace writes, the
  // largest components included, and the chart names no later iterate.
  void divergingIterationEndsWhereTheTraceEnds() {
    const RecordedRun run =
        Record("jacobi-iteration", "1 100 101\r\n100 1 101", {"2", "0.0001", "200"});
    const std::string::size_type at = run.trace.rfind("    第 ");
    QVERIFY(at != std::string::npos);
    const int last = std::atoi(run.trace.c_str() + at + std::string("    第 ").size());
    QVERIFY(last > 100);
    ConvergenceChart chart;
    chart.SetLog(run.log, QStringLiteral("雅可比迭代法"));
    const auto* x1 = static_cast<QLineSeries*>(chart.lower()->series().value(0));
    QCOMPARE(x1->name(), QStringLiteral("x1"));
    QCOMPARE(x1->count(), last + 1);  // x(0) .. x(last)
    QCOMPARE(x1->at(last).x(), double(last));
    auto* x_axis = qobject_cast<QValueAxis*>(chart.lower()->axes(Qt::Horizontal).value(0));
    QCOMPARE(x_axis->max(), double(last));
    const QString title = chart.upper()->title();
    QVERIFY2(title.contains(QStringLiteral("（第 %1 次迭代后放弃）").arg(last)), qPrintable(title));
    QVERIFY2(!title.contains(QString::number(last + 1)), qPrintable(title));
  }

  // Eight components, the eigenvalue and where the run gave up: the legend
  // lists each of them whole.
  void legendListsManyComponents() {
    ConvergenceLog log;
    for (int k = 1; k <= 5; ++k) {
      Vector e(8);
      for (int i = 1; i <= 8; ++i) e(i) = i + 1.0 / k;
      log.AddVector(Quantity::kEstimate, k, e);
    }
    log.GiveUp(5, "迭代次数超过上限");
    ConvergenceChart chart;
    chart.SetLog(log, QStringLiteral("幂法"));
    auto* legend = chart.findChild<QWidget*>(QStringLiteral("UpperLegend"));
    QVERIFY(legend != nullptr);
    QStringList names;
    for (const QLabel* label : legend->findChildren<QLabel*>()) {
      if (!label->text().isEmpty()) names << label->text();
    }
    QCOMPARE(names.size(), 9);
    QVERIFY(names.contains(QStringLiteral("第 8 个分量的估计值")));
    QVERIFY(names.contains(QStringLiteral("放弃处")));
  }

  void chartExportsPngAndSvg() {
    ChartWindow window(nullptr, nullptr);
    AnsweringPicker picker;
    window.SetPicker(&picker);
    window.SetLog(PowerLikeLog(true), QStringLiteral("幂法"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTemporaryDir dir;
    picker.name = dir.filePath(QStringLiteral("chart"));
    window.ExportPng();
    QImage image(dir.filePath(QStringLiteral("chart.png")));
    QVERIFY(!image.isNull());
    QVERIFY(image.width() > 300);
    picker.name = dir.filePath(QStringLiteral("chart.svg"));
    window.ExportSvg();
    QFile svg(picker.name);
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QByteArray bytes = svg.readAll();
    QVERIFY(bytes.contains("<svg"));
    QVERIFY(bytes.contains("</svg>"));
  }

  void hintsMarkPartlyReadEntries() {
    QPlainTextEdit pane;
    QLabel label;
    TypingHints hints(&pane, &label);
    QSignalSpy updated(&hints, &TypingHints::updated);
    pane.setPlainText(QStringLiteral("１２abc 2\n a  4 ５"));
    QVERIFY(updated.wait(5000));
    QCOMPARE(label.text(),
             QStringLiteral("2 行，首行 2 个元素，可作 2 阶矩阵，3 个元素只读了一部分"));
    const QList<QTextEdit::ExtraSelection> marks = pane.extraSelections();
    QCOMPARE(marks.size(), 3);
    // Positions in the pane: a full-width digit is one character there.
    QCOMPARE(marks[0].cursor.selectionStart(), 0);
    QCOMPARE(marks[0].cursor.selectedText(), QStringLiteral("１２abc"));
    QCOMPARE(marks[1].cursor.selectedText(), QStringLiteral("a"));
    QCOMPARE(hints.TipAt(2), QStringLiteral("第 1 行第 1 个元素读作 0"));
    QCOMPARE(hints.TipAt(marks[1].cursor.selectionStart()),
             QStringLiteral("第 2 行第 1 个元素读作 0"));
    QVERIFY(hints.TipAt(marks[0].cursor.selectionEnd() + 1).isEmpty());

    // Typing on: the marks follow the text.
    pane.setPlainText(QStringLiteral("12abc 2\n3 4"));
    QVERIFY(updated.wait(5000));
    QCOMPARE(pane.extraSelections().size(), 1);
    QCOMPARE(hints.TipAt(1), QStringLiteral("第 1 行第 1 个元素读作 12"));
    pane.clear();
    QVERIFY(updated.wait(5000));
    QVERIFY(label.text().isEmpty());
    QVERIFY(pane.extraSelections().isEmpty());
  }

  // Byte offsets of the core become pane positions: CR LF is one character,
  // a character beyond the basic plane two.
  void hintPositionsCountPaneCharacters() {
    const PaneHints hints = ReadHints("1 2\r\n\xF0\x9D\x9F\x8F x \xC3\xA9");
    // "x" is the constant 0: read whole.
    QCOMPARE(hints.marks.size(), std::size_t{2});
    QCOMPARE(hints.marks[0].start, 4);
    QCOMPARE(hints.marks[0].end, 6);
    QCOMPARE(hints.marks[1].start, 9);
    QCOMPARE(hints.marks[1].end, 10);
  }

  // Through the window: a power run, then its chart, its PDF and the hints.
  void windowShowsTheChartPrintsAndHints() {
    WorkbenchForm form;
    ScriptedDialogs dialogs({"3", "0.0001"});
    form.SetDialogs(&dialogs);
    AnsweringPicker picker;
    form.beyond()->SetExportPicker(&picker);
    form.show();
    form.text1()->setPlainText(QStringLiteral("4 1 0\n1 3 1\n0 1 2"));
    form.action(QStringLiteral("MatrixMi"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!form.beyond()->shown_series().empty(), kPatienceMs);

    form.action(QStringLiteral("ShowChart"))->trigger();
    ChartWindow* window = form.beyond()->chart_window();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    const QList<QAbstractSeries*> series = window->chart()->upper()->series();
    QCOMPARE(series.size(), 4);  // three components and the eigenvalue
    const ConvergenceLog& log = form.beyond()->shown_series();
    QCOMPARE(static_cast<QLineSeries*>(series[0])->count(),
             qsizetype(log.series()[0].points.size()));
    QCOMPARE(static_cast<QLineSeries*>(series[2])->at(0).y(), log.series()[2].points[0].y);
    QCOMPARE(series[3]->name(), QStringLiteral("特征值 = 4.731877"));
    QVERIFY(window->chart()->upper()->title().contains(QStringLiteral("幂法")));

    // A cancelled command changes neither the result pane nor the chart.
    ScriptedDialogs cancelled;
    form.SetDialogs(&cancelled);
    form.action(QStringLiteral("ClassicalJacobi"))->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(cancelled.shown().size(), std::size_t{1}, kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(!form.busy(), kPatienceMs);
    QCOMPARE(window->chart()->upper()->series().size(), 4);

    QTemporaryDir dir;
    picker.name = dir.filePath(QStringLiteral("trace"));
    form.action(QStringLiteral("FileExportPdf"))->trigger();
    const QString pdf = picker.name + QStringLiteral(".pdf");
    QVERIFY(QFile::exists(pdf));
    const QString text =
        Poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.contains(QStringLiteral("矩阵计算器 — 幂法")));
    QVERIFY(text.contains(QStringLiteral("幂法求矩阵的主特征值是： 4.731877")));
    // Once the pane is edited the trace is no longer the method's own.
    form.text2()->appendPlainText(QStringLiteral("注"));
    QCOMPARE(form.beyond()->PrintCaptionNow(), QStringLiteral("矩阵计算器"));

    // 新建 empties the result pane, and the chart with it.
    form.action(QStringLiteral("FileNew"))->trigger();
    QVERIFY(form.beyond()->shown_series().empty());
    QVERIFY(window->chart()->empty());
    int exports = 0;
    for (const QPushButton* button : window->findChildren<QPushButton*>()) {
      if (!button->text().startsWith(QStringLiteral("导出"))) continue;
      ++exports;
      QVERIFY2(!button->isEnabled(), "an empty chart offers no export");
    }
    QCOMPARE(exports, 2);

    form.text1()->setPlainText(QStringLiteral("12abc 2\n3 4"));
    QTRY_COMPARE_WITH_TIMEOUT(
        form.beyond()->hints_label()->text(),
        QStringLiteral("2 行，首行 2 个元素，可作 2 阶矩阵，1 个元素只读了一部分"), kPatienceMs);
    QCOMPARE(form.text1()->extraSelections().size(), 1);
    form.SetDialogs(nullptr);
  }

  // While a command computes, the trace is not whole: it is neither printed,
  // previewed nor exported, and the items come back when it ends.
  void printItemsWaitForTheCommand() {
    WorkbenchForm form;
    ScriptedDialogs dialogs({"60", "0"});
    form.SetDialogs(&dialogs);
    form.show();
    QString text;
    for (int i = 1; i <= 60; ++i) {
      for (int j = 1; j <= 60; ++j) text += QString::number(i == j ? 200 + i : 1.0 / (i + j)) + ' ';
      text += '\n';
    }
    form.text1()->setPlainText(text);
    const QStringList items = {QStringLiteral("FilePrint"), QStringLiteral("FilePrintPreview"),
                               QStringLiteral("FileExportPdf")};
    for (const QString& item : items) QVERIFY(form.action(item)->isEnabled());
    QSignalSpy ended(&form, &WorkbenchForm::commandEnded);
    form.action(QStringLiteral("ClassicalJacobi"))->trigger();
    QVERIFY(form.busy());
    for (const QString& item : items) QVERIFY(!form.action(item)->isEnabled());
    form.StopCommand();
    QVERIFY(ended.wait(60000));
    for (const QString& item : items) QVERIFY(form.action(item)->isEnabled());
    form.SetDialogs(nullptr);
  }

  // The README's pictures, written only when MATCALC_SCREENSHOT_DIR names a
  // folder (run under Xvfb): the chart of a Jacobi run and the first printed
  // page of its trace; and for a look, the hints, the first screen and the
  // about box.
  void screenshots() {
    const QString folder = qEnvironmentVariable("MATCALC_SCREENSHOT_DIR");
    if (folder.isEmpty()) QSKIP("MATCALC_SCREENSHOT_DIR is not set");
    WorkbenchForm form;
    // eps 0: the passes go on to their bound, over some 160 decades.
    ScriptedDialogs dialogs({"4", "0"}, {Reply::kYes});
    form.SetDialogs(&dialogs);
    AnsweringPicker picker;
    form.beyond()->SetExportPicker(&picker);
    form.show();
    form.text1()->setPlainText(QStringLiteral("4 1 2 0.5\n1 3 0 1\n2 0 5 1\n0.5 1 1 2"));
    form.action(QStringLiteral("ClassicalJacobi"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!form.beyond()->shown_series().empty(), kPatienceMs);
    form.action(QStringLiteral("ShowChart"))->trigger();
    ChartWindow* window = form.beyond()->chart_window();
    // At the size it opens with, as users see it.
    QCOMPARE(window->size(), QSize(820, 640));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::qWait(300);
    QVERIFY(window->grab().save(folder + QStringLiteral("/chart-jacobi.png")));
    picker.name = folder + QStringLiteral("/print-jacobi.pdf");
    form.action(QStringLiteral("FileExportPdf"))->trigger();
    QVERIFY(QFile::exists(picker.name));
    // After 新建 the chart says there is nothing to draw.
    form.action(QStringLiteral("FileNew"))->trigger();
    QTest::qWait(100);
    QVERIFY(window->grab().save(folder + QStringLiteral("/chart-empty.png")));
    window->close();
    form.text1()->setPlainText(QStringLiteral("4 1 2 0.5\n1 3 0 1\n2 0 12abc 1\n0.5 1 a 2*(3"));
    QTRY_VERIFY_WITH_TIMEOUT(
        form.beyond()->hints_label()->text().contains(QStringLiteral("只读了一部分")), kPatienceMs);
    QVERIFY(form.grab().save(folder + QStringLiteral("/window-hints.png")));
    form.SetDialogs(nullptr);
    // The first screen: the empty edit pane's guidance, and the about box.
    form.text1()->clear();
    form.action(QStringLiteral("FileNew"))->trigger();
    emit form.menu(QStringLiteral("mnuC"))->aboutToShow();
    QTest::qWait(100);
    QVERIFY(form.grab().save(folder + QStringLiteral("/window-first.png")));
    form.ShowAbout();
    auto* about = form.findChild<AboutBox*>();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QVERIFY(about->grab().save(folder + QStringLiteral("/about.png")));
    about->close();
  }

  // The charts of a curve fit (the example's six points, a parabola; then
  // the same values over fractions of x) and of the QR method on a 6 x 6
  // matrix with two complex pairs, at the size the chart opens with; written
  // only when MATCALC_SCREENSHOT_DIR names a folder.
  void fitAndQrScreenshots() {
    const QString folder = qEnvironmentVariable("MATCALC_SCREENSHOT_DIR");
    if (folder.isEmpty()) QSKIP("MATCALC_SCREENSHOT_DIR is not set");
    WorkbenchForm form;
    ScriptedDialogs dialogs({"6", "2", "6", "1e-10", "600"});
    form.SetDialogs(&dialogs);
    form.show();
    form.action(QStringLiteral("HelpExamplePoints"))->trigger();
    QVERIFY(form.text1()->toPlainText().startsWith(QStringLiteral("0 1.1")));
    form.action(QStringLiteral("MatrixCurveFit"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!form.busy(), kPatienceMs);
    form.action(QStringLiteral("ShowChart"))->trigger();
    ChartWindow* window = form.beyond()->chart_window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY(!window->chart()->empty());
    QTest::qWait(300);
    QVERIFY(window->grab().save(folder + QStringLiteral("/chart-curve-fit.png")));
    form.text1()->setPlainText(
        QStringLiteral("4 -2 1 3 0 1\n1 3 -1 2 2 0\n0 2 5 -3 1 1\n2 1 0 1 -2 3\n"
                       "1 0 2 1 6 -1\n3 1 -1 0 1 2"));
    form.action(QStringLiteral("QrEigenvalues"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!form.busy(), kPatienceMs);
    QVERIFY(form.beyond()->shown_series().is_fit() == false);
    QTest::qWait(300);
    QVERIFY(window->grab().save(folder + QStringLiteral("/chart-qr-eigenvalues.png")));
    QVERIFY(form.grab().save(folder + QStringLiteral("/window-qr-eigenvalues.png")));
    // The example's values at a fifth of its x: the x axis is labelled in
    // fractions.
    ScriptedDialogs fractions({"6", "2"});
    form.SetDialogs(&fractions);
    form.text1()->setPlainText(QStringLiteral("0 1.1\n0.2 1.9\n0.4 3.2\n0.6 4.8\n0.8 7.1\n1 9.9"));
    form.action(QStringLiteral("MatrixCurveFit"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!form.busy(), kPatienceMs);
    QTest::qWait(300);
    QVERIFY(window->grab().save(folder + QStringLiteral("/chart-curve-fit-fractions.png")));
    window->close();
    form.SetDialogs(nullptr);
  }
};

QTEST_MAIN(BeyondTraceTest)
#include "test_beyond_trace.moc"
