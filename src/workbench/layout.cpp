#include "workbench/layout.h"

#include <cmath>
#include <initializer_list>

namespace matcalc::workbench {

int TwipsToPixels(int twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

int PixelsToTwips(int pixels, double dpi) {
  return static_cast<int>(std::lround(pixels * kTwipsPerInch / dpi));
}

Panes LayOutAt(int x, int width, const Panes& current) {
  if (x < kMinPaneTwips) x = kMinPaneTwips;
  if (x > width - kMinPaneTwips) x = width - kMinPaneTwips;
  Panes panes = current;
  panes.text1.left = 0;
  panes.text1.width = x;
  panes.bar.left = x;
  panes.bar.width = kSplitterBarTwips;
  panes.bar.top = panes.text1.top;
  panes.bar.height = panes.text1.height;
  panes.text2.left = x + kSplitterBarTwips;
  panes.text2.width = width - (panes.text1.width + kPaneBorderTwips) - kSplitterBarTwips;
  if (panes.text2.width < 0) panes.text2.width = 0;
  return panes;
}

WindowSize ClampWindow(WindowSize size) {
  if (size.width < kMinWindowTwips) size.width = kSnapWindowTwips;
  if (size.height < kMinWindowTwips) size.height = kSnapWindowTwips;
  return size;
}

Panes ResizePanes(int area_width, int inner_height, int toolbar_height, int status_height,
                  int area_top, const Panes& current) {
  Panes panes = LayOutAt(current.bar.left, area_width, current);
  const int height = inner_height - status_height - toolbar_height;
  if (height > 0) {
    for (Rect* rect : {&panes.text1, &panes.bar, &panes.text2}) {
      rect->top = area_top;
      rect->height = height;
    }
    panes.text2.left = panes.bar.left + panes.bar.width;
    panes.text2.width = area_width - panes.text2.left;
    if (panes.text2.width < 0) panes.text2.width = 0;
  }
  return panes;
}

int ShadowLeft(int bar_left, int pointer_x, int width) {
  const int position = bar_left + pointer_x;
  if (position < kShadowMarginTwips) return kShadowMarginTwips;
  if (position > width - kShadowMarginTwips) return width - kShadowMarginTwips;
  return position;
}

int ScrollStep(int inner_height) {
  // nearbyint rounds a tie to the even integer in the default rounding mode.
  return static_cast<int>(std::nearbyint(inner_height / 250.0));
}

int NextLabelTop(int top, int step, int label_height, int inner_height) {
  top -= step;
  if (top < -label_height) top = inner_height;
  return top;
}

}  // namespace matcalc::workbench
