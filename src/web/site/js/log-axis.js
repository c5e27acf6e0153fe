// The decades a log axis labels, the same rule as the window's charts: over a
// few decades each one, over many (a Jacobi run with eps 0 spans 160) every
// second, third, fifth, tenth, twentieth ... decade, so that at most
// MOST_LOG_LABELS labels and as many grid lines stand on the axis. Labels
// fall on multiples of the step ("1E-140", "1", "1E+3"); the axis keeps its
// own ends, the decades around the values.

export const MOST_LOG_LABELS = 8;

export function decadeLabel(exponent) {
  if (exponent === 0) return '1';
  return (exponent < 0 ? '1E-' : '1E+') + String(Math.abs(exponent));
}

// The first multiple of `step` at or above `value`.
function ceilTo(value, step) {
  return Math.ceil(value / step) * step;
}

// {low, high, step, exponents, labels} for positive finite values from
// `smallest` to `largest`; other bounds give the decade from 1 to 10.
export function planLogAxis(smallest, largest) {
  if (Number.isFinite(smallest) && Number.isFinite(largest) && smallest > 0 &&
      largest >= smallest) {
    return planLogDecades(Math.floor(Math.log10(smallest)), Math.ceil(Math.log10(largest)));
  }
  return planLogDecades(0, 1);
}

// The same for an axis from 10^low to 10^high (whole decades, as the chart
// plan gives them).
export function planLogDecades(low, high) {
  if (high <= low) high = low + 1;
  const count = (step) => Math.floor((high - ceilTo(low, step)) / step) + 1;
  let step = [1, 2, 3, 5].find((s) => count(s) <= MOST_LOG_LABELS);
  for (let scale = 1; step === undefined; scale *= 10) {
    step = [10, 20, 25, 50].map((f) => f * scale).find((s) => count(s) <= MOST_LOG_LABELS);
  }
  const exponents = [];
  for (let e = ceilTo(low, step); e <= high; e += step) exponents.push(e === 0 ? 0 : e);
  return {low, high, step, exponents, labels: exponents.map(decadeLabel)};
}
