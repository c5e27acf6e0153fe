// Where the panes, the splitter bar and its drag shadow stand. All lengths are
// in twips (1/1440 inch); the window converts to pixels with the screen's
// logical resolution. Pure functions, so the clamps can be tested alone.
#pragma once

namespace matcalc::workbench {

// Twips and pixels: the one conversion every widget of the program uses, at
// the screen's logical resolution `dpi` (dots per inch), rounded to nearest.
inline constexpr double kTwipsPerInch = 1440.0;
int TwipsToPixels(int twips, double dpi);
int PixelsToTwips(int pixels, double dpi);

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A window is never allowed below 3000 twips in either direction; a smaller
// one snaps to 3500.
inline constexpr int kMinWindowTwips = 3000;
inline constexpr int kSnapWindowTwips = 3500;
// Neither pane may be squeezed narrower than this by the splitter.
inline constexpr int kMinPaneTwips = 1500;
// The drag shadow keeps this far from the window's edges.
inline constexpr int kShadowMarginTwips = 500;
inline constexpr int kSplitterBarTwips = 100;
// What the result pane gives up for the borders when laid out at a position.
inline constexpr int kPaneBorderTwips = 140;
// The progress bar shown over the edit pane while a file is read.
inline constexpr int kProgressBarTwips = 350;

struct Panes {
  Rect text1;
  Rect bar;
  Rect text2;
  friend bool operator==(const Panes&, const Panes&) = default;
};

// Lays the panes out with the splitter bar at `x` (clamped so that both panes
// keep kMinPaneTwips), keeping their current top and height.
Panes LayOutAt(int x, int width, const Panes& current);

struct WindowSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const WindowSize&, const WindowSize&) = default;
};

// The size a window of `size` is given: each direction below the minimum
// snaps to kSnapWindowTwips.
WindowSize ClampWindow(WindowSize size);

// The whole resize: panes laid out at the bar's current left edge over the
// width `area_width`; when the space between toolbar and status bar is
// positive, panes and bar fill it and the result pane reaches the right edge.
// `area_top` is where that space starts.
Panes ResizePanes(int area_width, int inner_height, int toolbar_height, int status_height,
                  int area_top, const Panes& current);

// Where the drag shadow's left edge stands for a pointer at `pointer_x`
// relative to the bar.
int ShadowLeft(int bar_left, int pointer_x, int width);

// The exit screen's credits: the step per tick is the inner height / 250,
// a tie going to the even integer.
int ScrollStep(int inner_height);
// The label's next top edge: up by `step`, back to the bottom once it has
// left the visible area at the top.
int NextLabelTop(int top, int step, int label_height, int inner_height);

}  // namespace matcalc::workbench
