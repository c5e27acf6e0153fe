// Beyond the trace in the page: the convergence chart (the runner's series,
// drawn, exported as SVG and PNG), the print style sheet (only the trace,
// headed and numbered, every line in the PDF) and the hints while typing.
import {test, expect} from '@playwright/test';
import {spawnSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {answerBoxes, catalogCaption, choose, crlf, editPane, findRunner, openPage, runNative,
        watch} from './support.mjs';

const TRIDIAGONAL = '4 1 0\n1 4 1\n0 1 4';

// The runner's series file for the same run, as {name: [[x, y], ...]}.
function nativeSeries({method, text, answers = [], replies = []}) {
  const folder = mkdtempSync(join(tmpdir(), 'matcalc-series-'));
  const file = join(folder, 'series.csv');
  const args = ['--series', file];
  for (const answer of answers) args.push('--answer', answer);
  for (const reply of replies) args.push('--reply', reply);
  spawnSync(findRunner(), [...args, method], {input: Buffer.from(crlf(text), 'utf8')});
  const lines = readFileSync(file, 'utf8').trim().split('\n');
  rmSync(folder, {recursive: true});
  expect(lines[0]).toBe('series,x,y');
  const series = {};
  for (const line of lines.slice(1)) {
    const [name, x, y] = line.split(',');
    (series[name] ||= []).push([Number(x), Number(y)]);
  }
  return series;
}

async function run(page, runSpec) {
  const expected = runNative(runSpec);
  await editPane(page).fill(runSpec.text);
  await choose(page, runSpec.menu ?? '求解', catalogCaption(runSpec.method));
  await answerBoxes(page, expected.boxes);
  await expect.poll(() => page.evaluate(() => window.matcalcPage.text2().length)).toBeGreaterThan(0);
}

test('the chart draws the series the runner writes, and exports them', async ({page}) => {
  const seen = watch(page);
  const job = {method: 'power', text: TRIDIAGONAL, answers: ['3', '0.0001']};
  await openPage(page);
  await run(page, job);
  const series = await page.evaluate(() => window.matcalcPage.series());
  const native = nativeSeries(job);
  const drawn = Object.fromEntries(series.series.map((s) => [s.name, s.points]));
  expect(drawn).toEqual(native);

  await choose(page, '显示', '收敛图');
  const box = page.getByRole('dialog', {name: '收敛图'});
  await expect(box).toBeVisible();
  const svg = box.locator('svg');
  await expect(svg).toHaveAttribute('aria-label', '幂法：各分量的特征值估计');
  await expect(svg.locator('g.series')).toHaveCount(4);
  await expect(svg.locator('.legend')).toContainText('第 1 个分量的估计值');
  await expect(svg.locator('.legend')).toContainText(/特征值 = 5\.41/);
  await expect(svg.locator('.give-up')).toHaveCount(0);

  const [svgFile] = await Promise.all([page.waitForEvent('download'),
                                       box.getByRole('button', {name: '导出 SVG...'}).click()]);
  expect(svgFile.suggestedFilename()).toBe('收敛图.svg');
  const svgText = readFileSync(await svgFile.path(), 'utf8');
  expect(svgText.startsWith('<?xml')).toBe(true);
  expect(svgText).toContain('http://www.w3.org/2000/svg');
  expect(svgText).toContain('第 3 个分量的估计值');
  const [pngFile] = await Promise.all([page.waitForEvent('download'),
                                       box.getByRole('button', {name: '导出 PNG...'}).click()]);
  const png = readFileSync(await pngFile.path());
  expect(png.subarray(1, 4).toString('latin1')).toBe('PNG');
  await box.getByRole('button', {name: '关闭'}).click();
  expect(seen.errors).toEqual([]);
});

test('the chart follows the result pane: kept by a cancelled run, gone with 新建 or an emptied pane',
     async ({page}) => {
  const noChart = /^还没有收敛过程可画/;
  const chartShows = async (title) => {
    await choose(page, '显示', '收敛图');
    const box = page.getByRole('dialog', {name: '收敛图'});
    if (title === null) await expect(box.locator('p')).toHaveText(noChart);
    else await expect(box.locator('svg')).toHaveAttribute('aria-label', title);
    await box.getByRole('button', {name: '关闭'}).click();
  };
  const power = '幂法：各分量的特征值估计';
  await openPage(page);
  await run(page, {method: 'power', text: TRIDIAGONAL, answers: ['3', '0.0001']});
  // Cancelled at its first question, a second run leaves the trace and its chart.
  await choose(page, '求解', catalogCaption('power'));
  await page.getByRole('dialog').getByRole('textbox').press('Escape');
  await expect(page.getByRole('dialog')).toHaveCount(0);
  await chartShows(power);
  await choose(page, '文件', '新建');
  await chartShows(null);
  expect(await page.evaluate(() => window.matcalcPage.series())).toBeNull();

  await run(page, {method: 'power', text: TRIDIAGONAL, answers: ['3', '0.0001']});
  await chartShows(power);
  // The user's own emptying of the result pane forgets it too, for good.
  await page.locator('#text2').fill('');
  await page.locator('#text2').pressSequentially('7');
  await chartShows(null);
});

test('a Jacobi run that gave up shows why, on a log scale', async ({page}) => {
  await openPage(page);
  await run(page, {method: 'jacobi', text: '4 1 0 0\n1 4 1 0\n0 1 4 1\n0 0 1 4',
                   answers: ['4', '0'], replies: ['yes']});
  await choose(page, '显示', '收敛图');
  const svg = page.getByRole('dialog', {name: '收敛图'}).locator('svg');
  await expect(svg.locator('.give-up')).toHaveText(
      '未收敛：此方法不适合这个矩阵，计算被迫终止，请重新选择其他方法（第 101 次变换后放弃）');
  await expect(svg.locator('.give-up-line')).toHaveCount(2);
  await expect(svg.locator('.chart-title').first()).toHaveText(
      '古典雅可比法：非对角元的最大模（对数刻度）');
  await expect(svg.locator('g.panel')).toHaveCount(2);
});

test('an iterative solver charts its error on a log scale and its components', async ({page}) => {
  const job = {method: 'gauss-seidel', menu: '方程组', text: '10 -1 -2 7.2\n-1 10 -2 8.3\n-1 -1 5 4.2',
               answers: ['3', '0.0001', '100']};
  await openPage(page);
  await run(page, job);
  const series = await page.evaluate(() => window.matcalcPage.series());
  const drawn = Object.fromEntries(series.series.map((s) => [s.name, s.points]));
  expect(drawn).toEqual(nativeSeries(job));
  expect(Object.keys(drawn)).toEqual(['x1', 'x2', 'x3', '误差']);

  await choose(page, '显示', '收敛图');
  const svg = page.getByRole('dialog', {name: '收敛图'}).locator('svg');
  await expect(svg).toHaveAttribute('aria-label', '高斯-赛德尔迭代法：迭代误差（对数刻度）');
  await expect(svg.locator('g.panel')).toHaveCount(2);
  await expect(svg.locator('.chart-title').nth(1)).toHaveText('高斯-赛德尔迭代法：各次迭代向量的分量');
  await expect(svg.locator('.legend').first()).toHaveText('误差');
  await expect(svg.locator('.legend').nth(1)).toContainText('x3');
  // The error's axis is marked in powers of ten.
  await expect(svg.locator('g.panel').first().getByText(/^1E-?\d+$/).first()).toBeAttached();
  await expect(svg.locator('.give-up')).toHaveCount(0);
});

test('printing shows only the trace, headed, numbered and whole', async ({page}, info) => {
  await openPage(page);
  await run(page, {method: 'jacobi', text: TRIDIAGONAL, answers: ['3', '1e-9']});
  const trace = await page.evaluate(() => window.matcalcPage.text2());
  await page.evaluate(() => window.dispatchEvent(new Event('beforeprint')));
  await page.emulateMedia({media: 'print'});
  await expect(page.locator('#print-view')).toBeVisible();
  for (const hidden of ['#menubar', '#toolbar', '#text1', '#text2', '.statusbar']) {
    await expect(page.locator(hidden)).toBeHidden();
  }
  await expect(page.locator('.print-header')).toContainText('矩阵计算器 — 古典雅可比法');
  const body = page.locator('.print-trace');
  expect(await body.textContent()).toBe(trace.replace(/\r\n/g, '\n').replace(/\n$/, ''));
  expect(await body.evaluate((node) => getComputedStyle(node).fontFamily)).toContain('Mono');

  const pdf = info.outputPath('trace.pdf');
  await page.pdf({path: pdf, preferCSSPageSize: true});
  const text = spawnSync('pdftotext', ['-layout', pdf, '-']).stdout.toString('utf8');
  const printed = text.split('\n').map((line) => line.replace(/\s+/g, ' ').trim());
  let at = 0;
  for (const line of trace.split(/\r?\n/).map((l) => l.replace(/\s+/g, ' ').trim())) {
    if (line === '') continue;
    while (at < printed.length && printed[at] !== line) ++at;
    expect(at, `not in the PDF: ${line}`).toBeLessThan(printed.length);
    ++at;
  }
  expect(text).toMatch(/第 1 页，共 \d+ 页/);
  expect(text).toContain('矩阵计算器 — 古典雅可比法');
});

test('hints say how the text is read and mark what is read in part', async ({page}) => {
  await openPage(page);
  const pane = editPane(page);
  await pane.fill('12abc 2\na 4');
  const hints = page.locator('#hints');
  await expect(hints).toHaveText('2 行，首行 2 个元素，可作 2 阶矩阵，2 个元素只读了一部分');
  await expect(page.locator('mark.partly-read')).toHaveText(['12abc', 'a']);
  // The caret on an entry read in part shows the value read.
  await pane.evaluate((node) => {
    node.focus();
    node.setSelectionRange(9, 9);
    node.dispatchEvent(new KeyboardEvent('keyup', {key: 'ArrowRight'}));
  });
  await expect(hints).toHaveText('第 2 行第 1 个元素读作 0');
  await pane.fill('1 2 3\n4 5 6');
  await expect(hints).toHaveText('2 行，首行 3 个元素，可作 2 × 3 矩阵');
  await expect(page.locator('mark.partly-read')).toHaveCount(0);
});
