// The convergence chart of the last iterative command, as inline SVG built
// with DOM calls (no markup from strings). `data` is the core's series JSON:
// {passes, gaveUp, why, series: [{name, quantity, component, points}]}.
// Power and origin shift: each component's estimate and the accepted
// eigenvalue; inverse power: the approximate eigenvalue; Jacobi: the largest
// off-diagonal magnitude on a log scale above, the diagonal below. A run
// that gave up says why in red under the title, with a red line where it
// stopped.

import {planLogAxis} from './log-axis.js';

const NS = 'http://www.w3.org/2000/svg';
const WIDTH = 760;
const PANEL_HEIGHT = 300;
const MARGIN = {left: 78, right: 200, top: 62, bottom: 48};
const COLOURS = ['#1f5fa8', '#d0701a', '#2a8c3c', '#8a3ca0', '#b02a2a', '#3a9ab0', '#8c6d1f',
                 '#555555'];
const GIVE_UP = '#c01010';
export const MOST_COMPONENTS = 8;

function element(name, attributes = {}, text = null) {
  const node = document.createElementNS(NS, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, String(value));
  if (text !== null) node.textContent = text;
  return node;
}

// Values a chart can place: a ratio with a vanishing denominator stands in as
// about 1.8E+308 and is left out, like values that are not finite; a log
// axis leaves out what is not positive.
function drawable(y, log) {
  if (y === null || !Number.isFinite(y) || Math.abs(y) >= 1e300) return false;
  return !log || y > 0;
}

function label(v) {
  if (v === 0) return '0';
  const a = Math.abs(v);
  if (a >= 1e6 || a < 1e-4) return v.toExponential(2).replace('e', 'E');
  return String(Number(v.toPrecision(6)));
}

// Round tick steps: 1, 2 or 5 times a power of ten.
function ticks(low, high, count) {
  const span = high - low;
  if (!(span > 0)) return [low];
  const raw = span / count;
  const power = 10 ** Math.floor(Math.log10(raw));
  const step = [1, 2, 5, 10].map((m) => m * power).find((s) => s >= raw);
  const out = [];
  for (let t = Math.ceil(low / step) * step; t <= high + step * 1e-9; t += step) {
    out.push(Math.abs(t) < step * 1e-9 ? 0 : t);
  }
  return out;
}

// One panel: axes, grid, the series and the give-up line.
function panel(svg, top, lines, {title, subtitle, xTitle, yTitle, log, xRange, gaveUp}) {
  const g = element('g', {class: 'panel', transform: `translate(0,${top})`});
  svg.appendChild(g);
  const plotWidth = WIDTH - MARGIN.left - MARGIN.right;
  const plotHeight = PANEL_HEIGHT - MARGIN.top - MARGIN.bottom;
  g.appendChild(element('text', {x: MARGIN.left, y: 22, 'font-size': 15, 'font-weight': 'bold',
                                 class: 'chart-title'}, title));
  if (subtitle) {
    g.appendChild(element('text', {x: MARGIN.left, y: 42, 'font-size': 13, fill: GIVE_UP,
                                   class: 'give-up'}, subtitle));
  }
  let low = Infinity;
  let high = -Infinity;
  for (const line of lines) {
    for (const [, y] of line.points) {
      low = Math.min(low, y);
      high = Math.max(high, y);
    }
  }
  if (!(low <= high)) {
    low = log ? 1 : 0;
    high = log ? 10 : 1;
  }
  let yTicks;
  let toY;
  let yLabels = null;
  if (log) {
    // A round subset of the decades, each with its grid line (the window's
    // rule, so both draw the same axis).
    const plan = planLogAxis(low, high);
    yTicks = plan.exponents.map((e) => 10 ** e);
    yLabels = plan.labels;
    toY = (y) => plotHeight * (1 - (Math.log10(y) - plan.low) / (plan.high - plan.low));
  } else {
    const pad = high > low ? (high - low) * 0.08 : Math.max(1, Math.abs(high) * 0.1);
    low -= pad;
    high += pad;
    yTicks = ticks(low, high, 6);
    toY = (y) => plotHeight * (1 - (y - low) / (high - low));
  }
  const [xLow, xHigh] = xRange;
  const toX = (x) => plotWidth * (x - xLow) / Math.max(xHigh - xLow, 1);
  const plot = element('g', {transform: `translate(${MARGIN.left},${MARGIN.top})`});
  g.appendChild(plot);
  plot.appendChild(element('rect', {x: 0, y: 0, width: plotWidth, height: plotHeight,
                                    fill: '#ffffff', stroke: '#888888'}));
  yTicks.forEach((t, i) => {
    const y = toY(t);
    plot.appendChild(element('line', {x1: 0, x2: plotWidth, y1: y, y2: y, stroke: '#e4e4e4'}));
    plot.appendChild(element('text', {x: -6, y: y + 4, 'text-anchor': 'end', 'font-size': 11,
                                      class: 'y-label'}, yLabels ? yLabels[i] : label(t)));
  });
  for (const t of ticks(xLow, Math.max(xHigh, xLow + 1), 10)) {
    if (!Number.isInteger(t)) continue;
    const x = toX(t);
    plot.appendChild(element('line', {x1: x, x2: x, y1: plotHeight, y2: plotHeight + 5,
                                      stroke: '#888888'}));
    plot.appendChild(element('text', {x, y: plotHeight + 18, 'text-anchor': 'middle',
                                      'font-size': 11}, String(t)));
  }
  plot.appendChild(element('text', {x: plotWidth / 2, y: plotHeight + 38, 'text-anchor': 'middle',
                                    'font-size': 12}, xTitle));
  plot.appendChild(element('text', {x: -plotHeight / 2, y: -60, transform: 'rotate(-90)',
                                    'text-anchor': 'middle', 'font-size': 12}, yTitle));
  const legend = element('g', {class: 'legend',
                               transform: `translate(${MARGIN.left + plotWidth + 14},${MARGIN.top})`});
  g.appendChild(legend);
  // Every entry stays beside the plot: the rows close up when there are many
  // (8 components, the eigenvalue and where the run gave up).
  const entries = lines.length + (gaveUp !== null ? 1 : 0);
  const row = Math.min(20, Math.floor((plotHeight + MARGIN.bottom - 12) / Math.max(entries, 1)));
  lines.forEach((line, i) => {
    const colour = line.colour;
    const points = line.points.map(([x, y]) => `${toX(x).toFixed(2)},${toY(y).toFixed(2)}`);
    const series = element('g', {class: 'series', 'data-name': line.name});
    if (line.dot) {
      for (const p of points) {
        const [x, y] = p.split(',');
        series.appendChild(element('circle', {cx: x, cy: y, r: 6, fill: colour}));
      }
    } else if (points.length > 0) {
      series.appendChild(element('polyline', {points: points.join(' '), fill: 'none',
                                              stroke: colour, 'stroke-width': 2}));
      if (points.length <= 60) {
        for (const p of points) {
          const [x, y] = p.split(',');
          series.appendChild(element('circle', {cx: x, cy: y, r: 2.5, fill: colour}));
        }
      }
    }
    plot.appendChild(series);
    legend.appendChild(element('rect', {x: 0, y: i * row, width: 14, height: 10, fill: colour}));
    legend.appendChild(element('text', {x: 20, y: i * row + 10, 'font-size': 12}, line.name));
  });
  if (gaveUp !== null) {
    const x = toX(gaveUp);
    plot.appendChild(element('line', {x1: x, x2: x, y1: 0, y2: plotHeight, stroke: GIVE_UP,
                                      'stroke-width': 2, 'stroke-dasharray': '6 4',
                                      class: 'give-up-line'}));
    const i = lines.length;
    legend.appendChild(element('line', {x1: 0, x2: 14, y1: i * row + 5, y2: i * row + 5,
                                        stroke: GIVE_UP, 'stroke-width': 2,
                                        'stroke-dasharray': '4 2'}));
    legend.appendChild(element('text', {x: 20, y: i * row + 10, 'font-size': 12}, '放弃处'));
  }
}

// The chart for `data` of the command captioned `caption`; null when the
// command recorded nothing.
export function buildChart(data, caption) {
  if (!data || data.series.length === 0) return null;
  const upper = [];
  const lower = [];
  let components = 0;
  let diagonal = 0;
  let more = false;
  let xLow = Infinity;
  let xHigh = -Infinity;
  let kind = 'estimate';
  for (const s of data.series) {
    const log = s.quantity === 'offDiagonal';
    if (s.quantity === 'estimate' && ++components > MOST_COMPONENTS) {
      more = true;
      continue;
    }
    if (s.quantity === 'diagonal' && ++diagonal > MOST_COMPONENTS) {
      more = true;
      continue;
    }
    if (s.quantity !== 'diagonal' && s.quantity !== 'eigenvalue') kind = s.quantity;
    const points = s.points.filter(([, y]) => drawable(y, log));
    for (const [x] of points) {
      xLow = Math.min(xLow, x);
      xHigh = Math.max(xHigh, x);
    }
    const target = s.quantity === 'diagonal' ? lower : upper;
    let name = s.name;
    if (s.quantity === 'eigenvalue' && s.points.length > 0) {
      name += ` = ${label(s.points[s.points.length - 1][1])}`;
    }
    target.push({name, points, dot: s.quantity === 'eigenvalue',
                 colour: s.quantity === 'eigenvalue' ? '#108030'
                     : COLOURS[target.length % COLOURS.length]});
  }
  if (data.gaveUp !== null) {
    xLow = Math.min(xLow, data.gaveUp);
    xHigh = Math.max(xHigh, data.gaveUp);
  }
  if (!(xLow <= xHigh)) {
    xLow = 0;
    xHigh = 1;
  }
  const unit = data.passes ? '次变换' : '次迭代';
  const subtitle = data.gaveUp === null ? '' : `未收敛：${data.why}（第 ${data.gaveUp} ${unit}后放弃）`;
  const xTitle = data.passes ? '变换次数 k' : '迭代次数 k';
  const titles = {
    estimate: [`${caption}：各分量的特征值估计`, '估计值'],
    approximation: [`${caption}：近似特征值`, '近似特征值'],
    offDiagonal: [`${caption}：非对角元的最大模（对数刻度）`, '最大模'],
  };
  const [title, yTitle] = titles[kind];
  const panels = lower.length > 0 ? 2 : 1;
  const height = panels * PANEL_HEIGHT + (more ? 24 : 0);
  const svg = element('svg', {width: WIDTH, height, viewBox: `0 0 ${WIDTH} ${height}`,
                              role: 'img', 'aria-label': title,
                              'font-family': '"Noto Sans CJK SC", "WenQuanYi Zen Hei", sans-serif'});
  svg.appendChild(element('rect', {x: 0, y: 0, width: WIDTH, height, fill: '#ffffff'}));
  panel(svg, 0, upper, {title, subtitle, xTitle, yTitle, log: data.passes,
                        xRange: [xLow, xHigh], gaveUp: data.gaveUp});
  if (lower.length > 0) {
    panel(svg, PANEL_HEIGHT, lower, {title: `${caption}：各次变换后的对角元`, subtitle: '', xTitle,
                                     yTitle: '对角元', log: false, xRange: [xLow, xHigh],
                                     gaveUp: data.gaveUp});
  }
  if (more) {
    svg.appendChild(element('text', {x: MARGIN.left, y: height - 8, 'font-size': 12},
                            `只画出前 ${MOST_COMPONENTS} 个分量；全部数据可用 matcalc-cli --series 导出。`));
  }
  return svg;
}

// The chart as an SVG file's text.
export function svgFileText(svg) {
  return '<?xml version="1.0" encoding="UTF-8"?>\n' + new XMLSerializer().serializeToString(svg);
}

// The chart drawn into a PNG, twice its size for sharp print.
export function pngBlob(svg, scale = 2) {
  return new Promise((resolve, reject) => {
    const url = URL.createObjectURL(new Blob([svgFileText(svg)], {type: 'image/svg+xml'}));
    const image = new Image();
    image.onload = () => {
      const canvas = document.createElement('canvas');
      canvas.width = Number(svg.getAttribute('width')) * scale;
      canvas.height = Number(svg.getAttribute('height')) * scale;
      const context = canvas.getContext('2d');
      context.fillStyle = '#ffffff';
      context.fillRect(0, 0, canvas.width, canvas.height);
      context.drawImage(image, 0, 0, canvas.width, canvas.height);
      URL.revokeObjectURL(url);
      canvas.toBlob((blob) => (blob ? resolve(blob) : reject(new Error('png'))), 'image/png');
    };
    image.onerror = () => {
      URL.revokeObjectURL(url);
      reject(new Error('svg'));
    };
    image.src = url;
  });
}
