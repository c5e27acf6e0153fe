// The page on a phone (390 × 844, touch): the running status stays readable
// and 停止 on one line, the hint wraps, the chart's texts keep their size,
// and every control is a finger's size.
import {test, expect} from '@playwright/test';
import {answerBoxes, choose, editPane, openPage, runNative, symmetric} from './support.mjs';

test.use({viewport: {width: 390, height: 844}, hasTouch: true, isMobile: true});

test('while a command runs the status is readable and 停止 one line', async ({page}) => {
  test.setTimeout(120_000);
  await openPage(page);
  await editPane(page).fill(symmetric(200));
  // The hint is whole, wrapped if need be.
  const hints = page.locator('#hints');
  await expect(hints).not.toBeEmpty();
  expect(await hints.evaluate((node) => node.scrollWidth <= node.clientWidth)).toBe(true);
  await choose(page, '求解', '古典雅可比法');
  for (const answer of ['200', '0']) {
    await page.getByRole('dialog').last().getByRole('textbox').fill(answer);
    await page.keyboard.press('Enter');
  }
  // The passes run before the give-up question: the status is measured, and
  // 停止 pressed, in the one task that sees the button, so the command cannot
  // end in between.
  const handle = await page.waitForFunction(() => {
    const stop = document.getElementById('stop');
    if (stop.hidden) return null;
    const style = getComputedStyle(stop);
    const range = document.createRange();
    range.selectNodeContents(stop);
    const measured = {
      statusWidth: document.getElementById('status').getBoundingClientRect().width,
      lineHeight: parseFloat(style.lineHeight) || parseFloat(style.fontSize) * 1.4,
      height: stop.getBoundingClientRect().height,
      boxes: stop.getClientRects().length,
      lines: range.getClientRects().length,
    };
    stop.click();
    return measured;
  }, null, {polling: 'raf', timeout: 60_000});
  const measured = await handle.jsonValue();
  expect(measured.statusWidth).toBeGreaterThan(100);
  expect(measured.boxes).toBe(1);
  expect(measured.lines).toBe(1);
  expect(measured.height).toBeLessThan(measured.lineHeight * 2 + 46);
  await expect(page.locator('body.busy')).toHaveCount(0, {timeout: 60_000});
});

test('controls are 44 × 44 px and the chart texts at least 11 px', async ({page}) => {
  await openPage(page);
  for (const locator of [page.locator('.menu-head'), page.locator('.tool')]) {
    for (const box of await locator.evaluateAll((nodes) =>
      nodes.map((node) => node.getBoundingClientRect()).map(({width, height}) => ({width, height})))) {
      expect(box.width).toBeGreaterThanOrEqual(44);
      expect(box.height).toBeGreaterThanOrEqual(44);
    }
  }
  const job = {method: 'power', text: '4 1 0\n1 4 1\n0 1 4', answers: ['3', '0.0001']};
  await editPane(page).fill(job.text);
  await choose(page, '求解', '幂法');
  await answerBoxes(page, runNative(job).boxes);
  await expect(page.locator('body.busy')).toHaveCount(0);
  await choose(page, '显示', '收敛图');
  const chart = page.locator('.box-chart svg');
  await expect(chart).toBeVisible();
  const smallest = await chart.evaluate((svg) => Math.min(...[...svg.querySelectorAll('text')]
      .map((text) => text.getBoundingClientRect().height).filter((height) => height > 0)));
  expect(smallest).toBeGreaterThanOrEqual(11);
  await page.screenshot({path: test.info().outputPath('chart.png')});
});

test('the chart fits the box: every text and the legend on the screen', async ({page}) => {
  await openPage(page);
  const job = {method: 'jacobi', text: '4 1 -2 2\n1 2 0 1\n-2 0 3 -2\n2 1 -2 -1',
               answers: ['4', '0'], replies: ['yes']};
  await editPane(page).fill(job.text);
  await choose(page, '求解', '古典雅可比法');
  await answerBoxes(page, runNative(job).boxes);
  await expect(page.locator('body.busy')).toHaveCount(0);
  await choose(page, '显示', '收敛图');
  const chart = page.locator('.box-chart svg');
  await expect(chart).toBeVisible();
  const body = await page.locator('.box-chart').boundingBox();
  const svg = await chart.boundingBox();
  expect(svg.x).toBeGreaterThanOrEqual(body.x);
  expect(svg.x + svg.width).toBeLessThanOrEqual(body.x + body.width + 1);
  const overflow = await chart.evaluate((node) => {
    const right = node.closest('dialog').getBoundingClientRect().right;
    return [...node.querySelectorAll('text')].filter((text) => text.textContent.trim() !== '')
        .map((text) => [text.textContent, text.getBoundingClientRect()])
        .filter(([, box]) => box.left < 0 || box.right > right)
        .map(([content]) => content);
  });
  expect(overflow).toEqual([]);
  // The legend is under the plot, and its texts keep their size.
  const legend = await chart.locator('.legend').first().boundingBox();
  const plot = await chart.locator('.panel rect').first().boundingBox();
  expect(legend.y).toBeGreaterThan(plot.y + plot.height);
  await page.screenshot({path: test.info().outputPath('chart-fits.png')});
});
