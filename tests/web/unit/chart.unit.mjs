// The page's drawing of a chart plan (the plan itself is the core's, tested
// with it): what is drawn where, without a browser.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {drawChart, label, ticks, wrap} from '../../../src/web/site/js/chart.js';

function* nodes(tree) {
  yield tree;
  for (const child of tree.children) yield* nodes(child);
}
const withClass = (tree, name) => [...nodes(tree)].filter((n) => n.attributes.class === name);

const jacobi = {
  empty: false,
  x: {title: '变换次数 k', log: false, low: 0, high: 7},
  panels: [
    {title: '雅可比法：非对角元的最大模（对数刻度）', y: {title: '最大模', log: true, low: -3, high: 0,
                                                           exponents: [-3, -2, -1, 0],
                                                           labels: ['1E-3', '1E-2', '1E-1', '1']},
     lines: [{name: '非对角元的最大模', dot: false, marked: true, points: [[0, 0.5], [2, 2e-3]]}]},
    {title: '雅可比法：各次变换后的对角元', y: {title: '对角元', log: false, low: 0, high: 10},
     lines: [{name: '第 1 个对角元', dot: false, marked: false, points: [[0, 1], [7, 9]]}]},
  ],
  gaveUpAt: 7,
  giveUp: '未收敛：此方法不适合这个矩阵（第 7 次变换后放弃）',
  more: '',
};

test('an empty plan draws nothing', () => {
  assert.equal(drawChart({empty: true}), null);
  assert.equal(drawChart(null), null);
});

test('two panels, the give-up text once and its line on each panel', () => {
  const svg = drawChart(jacobi, '放弃处');
  assert.equal(svg.attributes.height, '600');
  assert.equal(withClass(svg, 'panel').length, 2);
  assert.deepEqual(withClass(svg, 'give-up').map((n) => n.text), [jacobi.giveUp]);
  const lines = withClass(svg, 'give-up-line');
  assert.equal(lines.length, 2);
  assert.equal([...nodes(svg)].filter((n) => n.text === '放弃处').length, 2);
  // At x = 7 of 0..7: the right edge of the plot.
  for (const line of lines) assert.equal(line.attributes.x1, String(760 - 78 - 200));
});

test('a log axis is labelled by decades; marks only where the plan says', () => {
  const svg = drawChart(jacobi, '放弃处');
  const texts = [...nodes(svg)].map((n) => n.text);
  for (const decade of ['1E-3', '1E-2', '1E-1', '1']) assert.ok(texts.includes(decade), decade);
  const [upper, lower] = withClass(svg, 'series');
  assert.equal(upper.children.filter((n) => n.name === 'circle').length, 2);
  assert.equal(lower.children.filter((n) => n.name === 'circle').length, 0);
  // 190 px for three decades, 482 px for seven passes.
  const first = upper.children.find((n) => n.name === 'polyline').attributes.points;
  assert.equal(first, '0.00,19.07 137.71,170.93');
});

const tickRows = [
  // [low, high, count, ticks]
  [0, 1, 6, [0, 0.2, 0.4, 0.6000000000000001, 0.8, 1]],
  [0, 7, 10, [0, 1, 2, 3, 4, 5, 6, 7]],
  [-0.08, 1.08, 6, [0, 0.2, 0.4, 0.6000000000000001, 0.8, 1]],
  [3, 3, 6, [3]],
];
for (const [low, high, count, expected] of tickRows) {
  test(`ticks ${low}..${high}`, () => assert.deepEqual(ticks(low, high, count), expected));
}

const labelRows = [[0, '0'], [2.5, '2.5'], [1 / 3, '0.333333'], [1e6, '1.00E+6'], [-2e-5, '-2.00E-5']];
for (const [value, text] of labelRows) {
  test(`label ${value}`, () => assert.equal(label(value), text));
}

// A phone's box: the legend under the plot, fewer ticks, the titles wrapped,
// nothing past the width.
test('a narrow chart keeps its parts inside its width', () => {
  const width = 336;
  const svg = drawChart({...jacobi, giveUp: '未收敛：此方法不适合这个矩阵，计算被迫终止，' +
                                           '请重新选择其他方法（第 101 次变换后放弃）'},
                        '放弃处', width);
  assert.equal(svg.attributes.width, String(width));
  const giveUp = withClass(svg, 'give-up').map((n) => n.text);
  assert.ok(giveUp.length > 1);
  assert.equal(giveUp.join(''), '未收敛：此方法不适合这个矩阵，计算被迫终止，请重新选择其他方法（第 101 次变换后放弃）');
  for (const line of [...giveUp, ...withClass(svg, 'chart-title').map((n) => n.text)]) {
    assert.ok(wrap(line, 13, width - 16).length === 1, line);
  }
  for (const [panel, legend] of withClass(svg, 'panel').map((p) => [p, withClass(p, 'legend')[0]])) {
    const [lx] = legend.attributes.transform.match(/[\d.]+/g).map(Number);
    assert.ok(lx < 20, 'the legend starts at the left edge');
    const plot = panel.children.find((n) => n.name === 'g' && !n.attributes.class);
    const [, py] = plot.attributes.transform.match(/[\d.]+/g).map(Number);
    const [, ly] = legend.attributes.transform.match(/[\d.]+/g).map(Number);
    assert.ok(ly > py + 190, 'the legend is under the plot');
  }
  // Seven passes on 252 px: a tick every one or two, never ten.
  const xLabels = [...nodes(withClass(svg, 'panel')[1])]
      .filter((n) => n.name === 'text' && n.attributes['text-anchor'] === 'middle' &&
              n.attributes['font-size'] === '11');
  assert.ok(xLabels.length <= 6, `${xLabels.length} ticks`);
});

const wrapRows = [
  // [text, size, room, lines]
  ['短标题', 15, 300, ['短标题']],
  ['第 101 次变换后放弃', 13, 60, ['第 101', '次变换后', '放弃']],
  ['', 12, 100, ['']],
];
for (const [text, size, room, lines] of wrapRows) {
  test(`wrap ${JSON.stringify(text)} at ${room}`, () => assert.deepEqual(wrap(text, size, room), lines));
}

test('a curve fit scatters its points and draws its curve as a line', () => {
  const fit = {
    empty: false,
    x: {title: 'x', log: false, low: -0.24, high: 3.24},
    wholeX: false,
    panels: [{title: '最小二乘曲线拟合：数据点与拟合曲线', y: {title: 'y', log: false, low: 0.7, high: 4.8},
              lines: [{name: '数据点', dot: false, scatter: true, marked: true,
                       points: [[0, 1], [1, 3], [2, 4], [3, 4]]},
                      {name: '拟合曲线', dot: false, marked: false,
                       points: [[0, 1.5], [1.5, 3], [3, 4.5]]}]}],
    gaveUpAt: null,
    giveUp: '',
    more: '',
  };
  // The points are drawn last, over the curve.
  const [curve, points] = withClass(drawChart(fit, '放弃处'), 'series');
  assert.equal(points.children.filter((n) => n.name === 'circle').length, 4);
  assert.equal(points.children.filter((n) => n.name === 'polyline').length, 0);
  assert.equal(curve.children.filter((n) => n.name === 'polyline').length, 1);
  assert.equal(curve.children.filter((n) => n.name === 'circle').length, 0);
});

test('a curve fit over x in [0, 1]: fractional ticks, the points across the whole plot', () => {
  const fit = {
    empty: false,
    x: {title: 'x', log: false, low: 0, high: 1},
    wholeX: false,
    panels: [{title: '最小二乘曲线拟合：数据点与拟合曲线', y: {title: 'y', log: false, low: 0, high: 2},
              lines: [{name: '数据点', dot: false, scatter: true, marked: false,
                       points: [[0, 0.1], [0.5, 1], [1, 1.9]]},
                      {name: '拟合曲线', dot: false, marked: false, points: [[0, 0.1], [1, 1.9]]}]}],
    gaveUpAt: null,
    giveUp: '',
    more: '',
  };
  const svg = drawChart(fit, '放弃处');
  const xLabels = withClass(svg, 'x-label').map((n) => n.text);
  assert.ok(xLabels.length >= 3 && xLabels.includes('0.5'), xLabels.join(' '));
  const series = withClass(svg, 'series');
  const cxs = series[1].children.map((c) => Number(c.attributes.cx));
  assert.ok(cxs[2] > 2 * cxs[1] - 1 && cxs[1] > 0, cxs.join(' '));
});
