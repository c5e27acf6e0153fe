// The window's geometry rules and the exit screen's scrolling, as pure
// functions in twips.
#include <QtTest>

#include "workbench/layout.h"

using namespace matcalc::workbench;

namespace QTest {
template <>
char* toString(const Rect& r) {
  return qstrdup(QStringLiteral("(%1,%2 %3x%4)")
                     .arg(r.left)
                     .arg(r.top)
                     .arg(r.width)
                     .arg(r.height)
                     .toUtf8()
                     .constData());
}
}  // namespace QTest

class LayoutTest : public QObject {
  Q_OBJECT
 private slots:
  void SmallWindowSnapsTo3500InEachDirectionAlone();
  void SplitterPositionIsClampedToLeaveBothPanes();
  void ResizeFillsTheSpaceBetweenToolbarAndStatusBar();
  void NoSpaceLeftKeepsTheVerticalLayout();
  void DragShadowStopsAt500FromEitherEdge();
  void ScrollStepIsInnerHeightOver250TiesToEven();
  void CreditsStartAgainFromTheBottomOnceGone();
};

void LayoutTest::SmallWindowSnapsTo3500InEachDirectionAlone() {
  QCOMPARE(ClampWindow({2999, 5000}), (WindowSize{3500, 5000}));
  QCOMPARE(ClampWindow({5000, 2999}), (WindowSize{5000, 3500}));
  QCOMPARE(ClampWindow({100, 100}), (WindowSize{3500, 3500}));
  QCOMPARE(ClampWindow({3000, 3000}), (WindowSize{3000, 3000}));
}

void LayoutTest::SplitterPositionIsClampedToLeaveBothPanes() {
  Panes current;
  current.text1 = {0, 300, 0, 4000};
  current.text2 = {0, 300, 0, 4000};
  // Far left: the edit pane keeps its 1500.
  Panes panes = LayOutAt(200, 9000, current);
  QCOMPARE(panes.text1, (Rect{0, 300, 1500, 4000}));
  QCOMPARE(panes.bar, (Rect{1500, 300, 100, 4000}));
  QCOMPARE(panes.text2, (Rect{1600, 300, 9000 - (1500 + 140) - 100, 4000}));
  // Far right: 1500 stays for the result pane side.
  panes = LayOutAt(8800, 9000, current);
  QCOMPARE(panes.text1.width, 7500);
  QCOMPARE(panes.bar.left, 7500);
  QCOMPARE(panes.text2.left, 7600);
  // In between the position is taken as it is.
  QCOMPARE(LayOutAt(4000, 9000, current).bar.left, 4000);
}

void LayoutTest::ResizeFillsTheSpaceBetweenToolbarAndStatusBar() {
  Panes current;
  current.bar.left = 3000;
  const Panes panes = ResizePanes(9000, 6000, 400, 300, 400, current);
  for (const Rect& rect : {panes.text1, panes.bar, panes.text2}) {
    QCOMPARE(rect.top, 400);
    QCOMPARE(rect.height, 6000 - 300 - 400);
  }
  QCOMPARE(panes.text1.width, 3000);
  QCOMPARE(panes.text2.left, 3100);
  QCOMPARE(panes.text2.left + panes.text2.width, 9000);
}

void LayoutTest::NoSpaceLeftKeepsTheVerticalLayout() {
  Panes current;
  current.bar.left = 3000;
  current.text1 = {0, 50, 3000, 777};
  const Panes panes = ResizePanes(9000, 700, 400, 300, 400, current);
  QCOMPARE(panes.text1.top, 50);
  QCOMPARE(panes.text1.height, 777);
  QCOMPARE(panes.bar.height, 777);
  QCOMPARE(panes.text2.width, 9000 - (3000 + 140) - 100);
}

void LayoutTest::DragShadowStopsAt500FromEitherEdge() {
  QCOMPARE(ShadowLeft(2000, -1800, 9000), 500);
  QCOMPARE(ShadowLeft(2000, -1500, 9000), 500);
  QCOMPARE(ShadowLeft(2000, 100, 9000), 2100);
  QCOMPARE(ShadowLeft(2000, 7000, 9000), 8500);
  // Released at the shadow's stop, the panes still keep their minimum.
  QCOMPARE(LayOutAt(ShadowLeft(2000, -5000, 9000), 9000, Panes{}).text1.width, 1500);
}

void LayoutTest::ScrollStepIsInnerHeightOver250TiesToEven() {
  QCOMPARE(ScrollStep(1000), 4);
  QCOMPARE(ScrollStep(625), 2);  // 2.5
  QCOMPARE(ScrollStep(875), 4);  // 3.5
  QCOMPARE(ScrollStep(6000), 24);
  QCOMPARE(ScrollStep(100), 0);
}

void LayoutTest::CreditsStartAgainFromTheBottomOnceGone() {
  QCOMPARE(NextLabelTop(1000, 4, 300, 1000), 996);
  QCOMPARE(NextLabelTop(-296, 4, 300, 1000), -300);  // just at the edge: still there
  QCOMPARE(NextLabelTop(-300, 4, 300, 1000), 1000);
}

QTEST_APPLESS_MAIN(LayoutTest)
#include "test_layout.moc"
