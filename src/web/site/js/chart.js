// The convergence chart of the last iterative command, drawn as SVG from the
// core's chart plan (desk/chart_plan.h): which lines go on which panel, their
// names, the scales and spans of the axes, the titles and where a run gave
// up. Only the drawing is decided here: sizes, colours and ticks.
//
// The drawing is a tree of plain nodes {name, attributes, text, children}
// (testable without a browser); svgElement() makes DOM nodes of it.


const NS = 'http://www.w3.org/2000/svg';
export const WIDTH = 760;
const PANEL_HEIGHT = 300;
const MARGIN = {left: 78, right: 200, top: 62, bottom: 48};
// Narrower than this, the legend goes under the plot (a phone's screen).
const LEGEND_BESIDE_MIN = 600;
const NARROW_MARGIN = {left: 70, right: 14};
const LEGEND_ROW = 18;
const LEGEND_COLUMN = 170;
const COLOURS = ['#1f5fa8', '#d0701a', '#2a8c3c', '#8a3ca0', '#b02a2a', '#3a9ab0', '#8c6d1f',
                 '#555555'];
const GIVE_UP = '#c01010';
const EIGENVALUE = '#108030';

function element(name, attributes = {}, text = null) {
  const node = {name, attributes: {}, text, children: []};
  for (const [key, value] of Object.entries(attributes)) node.attributes[key] = String(value);
  return node;
}

function append(parent, child) {
  parent.children.push(child);
  return child;
}

// The tree as DOM nodes (text set as text, never as markup).
export function svgElement(tree) {
  const node = document.createElementNS(NS, tree.name);
  for (const [key, value] of Object.entries(tree.attributes)) node.setAttribute(key, value);
  if (tree.text !== null) node.textContent = tree.text;
  for (const child of tree.children) node.appendChild(svgElement(child));
  return node;
}

// A tick's label on a linear axis.
export function label(v) {
  if (v === 0) return '0';
  const a = Math.abs(v);
  if (a >= 1e6 || a < 1e-4) return v.toExponential(2).replace('e', 'E');
  return String(Number(v.toPrecision(6)));
}

// Round tick steps: 1, 2 or 5 times a power of ten.
export function ticks(low, high, count) {
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

// `text` in lines of at most `room` pixels at `size` (a Chinese character
// a square, other characters about half of one); a run of letters and
// digits stays whole.
export function wrap(text, size, room) {
  const lines = [];
  let line = '';
  let used = 0;
  for (const word of text.match(/[\w.+-]+|\s+|./gu) || []) {
    const width = [...word].reduce((sum, c) => sum + (c.charCodeAt(0) < 0x2e80 ? 0.56 : 1), 0) *
        size;
    if (used + width > room && line.trim() !== '') {
      lines.push(line.trimEnd());
      line = '';
      used = 0;
      if (word.trim() === '') continue;
    }
    line += word;
    used += width;
  }
  if (line.trim() !== '') lines.push(line.trimEnd());
  return lines.length > 0 ? lines : [''];
}

// Where the parts of a panel go at `width`: the legend beside the plot, or
// under it in as many columns as fit, and the titles wrapped to the width.
function layout(width, entries, title, subtitle) {
  if (width >= LEGEND_BESIDE_MIN) {
    return {left: MARGIN.left, titleX: MARGIN.left, plotWidth: width - MARGIN.left - MARGIN.right,
            beside: true, columns: 1, height: PANEL_HEIGHT, top: MARGIN.top, titles: [title],
            subtitles: subtitle ? [subtitle] : []};
  }
  const plotWidth = width - NARROW_MARGIN.left - NARROW_MARGIN.right;
  const columns = Math.max(1, Math.floor((width - 16) / LEGEND_COLUMN));
  const rows = Math.ceil(entries / columns);
  const titles = wrap(title, 15, width - 16);
  const subtitles = subtitle ? wrap(subtitle, 13, width - 16) : [];
  const extra = (titles.length - 1) * 19 + Math.max(0, subtitles.length - 1) * 17;
  return {left: NARROW_MARGIN.left, titleX: 8, plotWidth, beside: false, columns,
          height: PANEL_HEIGHT + extra + rows * LEGEND_ROW + 8, top: MARGIN.top + extra, titles,
          subtitles};
}

// One panel of the plan at `top`: axes, grid, its lines and the give-up line.
function drawPanel(svg, top, panel, x, wholeX, gaveUpAt, giveUpLegend, place) {
  const g = append(svg, element('g', {class: 'panel', transform: `translate(0,${top})`}));
  const plotWidth = place.plotWidth;
  const plotHeight = PANEL_HEIGHT - MARGIN.top - MARGIN.bottom;
  place.titles.forEach((line, i) => {
    append(g, element('text', {x: place.titleX, y: 22 + 19 * i, 'font-size': 15,
                               'font-weight': 'bold', class: 'chart-title'}, line));
  });
  const below = 19 * (place.titles.length - 1);
  place.subtitles.forEach((line, i) => {
    append(g, element('text', {x: place.titleX, y: 42 + below + 17 * i, 'font-size': 13,
                               fill: GIVE_UP, class: 'give-up'}, line));
  });
  const y = panel.y;
  let yTicks;
  let toY;
  let yLabels = null;
  if (y.log) {
    // The decades the core's plan labels, each with its grid line, as the
    // window draws them.
    yTicks = y.exponents.map((e) => 10 ** e);
    yLabels = y.labels;
    toY = (v) => plotHeight * (1 - (Math.log10(v) - y.low) / (y.high - y.low));
  } else {
    yTicks = ticks(y.low, y.high, 6);
    toY = (v) => plotHeight * (1 - (v - y.low) / (y.high - y.low));
  }
  // Iterates span at least one step; a curve fit's x may span less than 1.
  const xSpan = wholeX ? Math.max(x.high - x.low, 1) : (x.high > x.low ? x.high - x.low : 1);
  const toX = (v) => plotWidth * (v - x.low) / xSpan;
  const plot = append(g, element('g', {transform: `translate(${place.left},${place.top})`}));
  append(plot, element('rect', {x: 0, y: 0, width: plotWidth, height: plotHeight,
                                fill: '#ffffff', stroke: '#888888'}));
  yTicks.forEach((t, i) => {
    const at = toY(t);
    append(plot, element('line', {x1: 0, x2: plotWidth, y1: at, y2: at, stroke: '#e4e4e4'}));
    append(plot, element('text', {x: -6, y: at + 4, 'text-anchor': 'end', 'font-size': 11,
                                  class: 'y-label'}, yLabels ? yLabels[i] : label(t)));
  });
  // A tick about every 48 px at most: ten on the full width.
  for (const t of ticks(x.low, x.high, Math.min(10, Math.floor(plotWidth / 48)))) {
    if (wholeX && !Number.isInteger(t)) continue;
    const at = toX(t);
    append(plot, element('line', {x1: at, x2: at, y1: plotHeight, y2: plotHeight + 5,
                                  stroke: '#888888'}));
    append(plot, element('text', {x: at, y: plotHeight + 18, 'text-anchor': 'middle',
                                  'font-size': 11, class: 'x-label'}, wholeX ? String(t) : label(t)));
  }
  append(plot, element('text', {x: plotWidth / 2, y: plotHeight + 38, 'text-anchor': 'middle',
                                'font-size': 12}, x.title));
  append(plot, element('text', {x: -plotHeight / 2, y: -60, transform: 'rotate(-90)',
                                'text-anchor': 'middle', 'font-size': 12}, y.title));
  const legendAt = place.beside ? [place.left + plotWidth + 14, place.top]
      : [8, place.top + plotHeight + MARGIN.bottom + 4];
  const legend = append(g, element('g', {class: 'legend',
                                         transform: `translate(${legendAt[0]},${legendAt[1]})`}));
  // Beside the plot every entry stays there: the rows close up when there
  // are many (8 components, the eigenvalue and where the run gave up). Under
  // it the entries fill rows of `columns`.
  const entries = panel.lines.length + (gaveUpAt !== null ? 1 : 0);
  const row = place.beside
    ? Math.min(20, Math.floor((plotHeight + MARGIN.bottom - 12) / Math.max(entries, 1)))
    : LEGEND_ROW;
  const entryAt = (i) => (place.beside ? [0, i * row]
      : [(i % place.columns) * LEGEND_COLUMN, Math.floor(i / place.columns) * row]);
  // A curve fit's points are drawn over its curve, each with a white rim.
  const scattered = [];
  panel.lines.forEach((line, i) => {
    const colour = line.dot ? EIGENVALUE : COLOURS[i % COLOURS.length];
    const points = line.points.map(([px, py]) => [toX(px).toFixed(2), toY(py).toFixed(2)]);
    const series = element('g', {class: 'series', 'data-name': line.name});
    if (line.scatter) {
      scattered.push(series);
    } else {
      append(plot, series);
    }
    if (line.dot) {
      for (const [cx, cy] of points) append(series, element('circle', {cx, cy, r: 6, fill: colour}));
    } else if (line.scatter) {
      for (const [cx, cy] of points) {
        append(series, element('circle', {cx, cy, r: 4, fill: colour, stroke: '#ffffff',
                                          'stroke-width': 1.5}));
      }
    } else if (points.length > 0) {
      append(series, element('polyline', {points: points.map((p) => p.join(',')).join(' '),
                                          fill: 'none', stroke: colour, 'stroke-width': 2}));
      if (line.marked) {
        for (const [cx, cy] of points) {
          append(series, element('circle', {cx, cy, r: 2.5, fill: colour}));
        }
      }
    }
    const [ex, ey] = entryAt(i);
    append(legend, element('rect', {x: ex, y: ey, width: 14, height: 10, fill: colour}));
    append(legend, element('text', {x: ex + 20, y: ey + 10, 'font-size': 12}, line.name));
  });
  for (const series of scattered) append(plot, series);
  if (gaveUpAt !== null) {
    const at = toX(gaveUpAt);
    append(plot, element('line', {x1: at, x2: at, y1: 0, y2: plotHeight, stroke: GIVE_UP,
                                  'stroke-width': 2, 'stroke-dasharray': '6 4',
                                  class: 'give-up-line'}));
    const [ex, ey] = entryAt(panel.lines.length);
    append(legend, element('line', {x1: ex, x2: ex + 14, y1: ey + 5, y2: ey + 5,
                                    stroke: GIVE_UP, 'stroke-width': 2,
                                    'stroke-dasharray': '4 2'}));
    append(legend, element('text', {x: ex + 20, y: ey + 10, 'font-size': 12}, giveUpLegend));
  }
}

// The drawing of `plan` (the core's chart plan), the give-up line named
// `giveUpLegend`, `width` pixels wide (a narrow one puts the legends under
// the plots and has fewer ticks); null for an empty plan.
export function drawChart(plan, giveUpLegend, width = WIDTH) {
  if (!plan || plan.empty) return null;
  const more = plan.more !== '';
  const places = plan.panels.map((panel, i) => layout(
      width, panel.lines.length + (plan.gaveUpAt !== null ? 1 : 0), panel.title,
      i === 0 ? plan.giveUp : ''));
  const notes = !more ? [] : width >= LEGEND_BESIDE_MIN ? [plan.more] : wrap(plan.more, 12, width - 16);
  const height = places.reduce((sum, place) => sum + place.height, 0) +
      (more ? 24 + 16 * (notes.length - 1) : 0);
  const title = plan.panels[0].title;
  const svg = element('svg', {width, height, viewBox: `0 0 ${width} ${height}`,
                              role: 'img', 'aria-label': title,
                              'font-family': '"Noto Sans CJK SC", "WenQuanYi Zen Hei", sans-serif'});
  append(svg, element('rect', {x: 0, y: 0, width, height, fill: '#ffffff'}));
  let top = 0;
  plan.panels.forEach((panel, i) => {
    drawPanel(svg, top, panel, plan.x, plan.wholeX !== false, plan.gaveUpAt, giveUpLegend,
              places[i]);
    top += places[i].height;
  });
  notes.forEach((line, i) => {
    append(svg, element('text', {x: places[0].titleX, y: height - 8 - 16 * (notes.length - 1 - i),
                                 'font-size': 12}, line));
  });
  return svg;
}

// The chart of `plan` as an SVG element `width` wide; null for an empty plan.
export function buildChart(plan, giveUpLegend, width = WIDTH) {
  const tree = drawChart(plan, giveUpLegend, width);
  return tree === null ? null : svgElement(tree);
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
