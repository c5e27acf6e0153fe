// How fast the device at hand computes beside the development machine the
// work estimates are measured on: a short run of the work the methods do
// (plain multiply-adds, a rounded product, numbers written as trace text),
// timed. Front ends measure it once (the runner per process, the page per
// load, off its main thread) and the budgets scale the estimated work by it,
// so that the largest accepted order takes about as long on a slow device as
// on a fast one.
#pragma once

#include <optional>
#include <string_view>

namespace matcalc {

// The device's time for the development machine's nanosecond: above 1 on a
// slower device. Takes a few tens of milliseconds on the development
// machine, proportionally more on a slower one.
double MeasureWorkScale();

// A scale given as text (an environment variable, say): a positive finite
// number, otherwise nothing.
std::optional<double> ParseWorkScale(std::string_view text);

// The development machine's time for one run of the calibration work.
inline constexpr double kCalibrationReferenceNs = 3.4e6;

// The range a measured scale is kept in: a device measured as very fast is
// not trusted beyond four times the development machine.
inline constexpr double kSmallestWorkScale = 0.25;
inline constexpr double kLargestWorkScale = 1000;

}  // namespace matcalc
