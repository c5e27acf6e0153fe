// A long command: the page stays responsive, shows progress, and 停止 ends
// the command with both panes as they were.
import {test, expect} from '@playwright/test';
import {answerBoxes, choose, editPane, openPage, resultPane, resultText, runNative}
  from './support.mjs';

// A dense matrix of an order near the largest the budgets accept for the
// determinant (about a second of work): typed into the edit pane by the page
// itself.
const DENSE_ORDER = '700';

// Presses 停止 the moment it shows, in the same task that sees it, so that
// the command cannot end in between.
async function stopOnSight(page, press) {
  await page.waitForFunction((how) => {
    const stop = document.getElementById('stop');
    // The progress bar comes with the button.
    if (stop.hidden || document.getElementById('progress').hidden) return false;
    if (how === 'click') stop.click();
    else document.dispatchEvent(new KeyboardEvent('keydown', {key: 'Escape', bubbles: true}));
    return true;
  }, press, {polling: 'raf'});
}
async function fillDense(page) {
  await page.evaluate((n) => {
    let seed = 1;
    const rows = [];
    for (let i = 0; i < n; ++i) {
      const row = [];
      for (let j = 0; j < n; ++j) {
        seed = (seed * 16807) % 2147483647;
        row.push((seed % 1000) / 100);
      }
      rows.push(row.join(' '));
    }
    const pane = document.getElementById('text1');
    pane.value = rows.join('\n');
    pane.dispatchEvent(new Event('input'));
  }, Number(DENSE_ORDER));
}

test('停止 during a long command leaves both panes unchanged', async ({page}) => {
  await openPage(page);
  await fillDense(page);
  const dense = await editPane(page).inputValue();
  await resultPane(page).fill('earlier trace');
  await choose(page, '求解', '列主元求行列式');
  await page.getByRole('dialog').getByRole('textbox').fill(DENSE_ORDER);
  await page.keyboard.press('Enter');
  const stop = page.getByRole('button', {name: '停止'});
  // The page draws frames while the worker computes (a state, not a time:
  // a frame drawn while the command is still running), and shows the bar.
  const drawnWhileComputing = await page.evaluate(() => new Promise((resolve) => {
    requestAnimationFrame(() => resolve(document.body.classList.contains('busy')));
  }));
  expect(drawnWhileComputing).toBe(true);
  // The bar shows the fraction done as the core reports it.
  await page.waitForFunction(() => {
    const bar = document.getElementById('progress');
    return !bar.hidden && bar.hasAttribute('value') && bar.value > 0 && bar.value < 100;
  }, null, {polling: 'raf'});
  await expect(page.getByRole('status')).toHaveText('正在计算：列主元求行列式……（按 Esc 停止）');
  // A trace not yet whole is not saved, by the button or by Ctrl+S, as in the
  // window; copying stays.
  await expect(page.locator('.tool[data-key="保存"]')).toBeDisabled();
  await expect(page.locator('.tool[data-key="复制"]')).toBeEnabled();
  await page.keyboard.press('Control+s');
  await expect(page.getByRole('dialog', {name: '保存'})).toHaveCount(0);
  await stopOnSight(page, 'click');
  await expect(stop).toBeHidden();
  await expect(page.getByRole('status')).not.toHaveText(/正在计算/);
  await expect(page.locator('#progress')).toBeHidden();
  await expect(page.locator('body.busy')).toHaveCount(0);
  await expect(resultPane(page)).toHaveValue('earlier trace');
  expect(await editPane(page).inputValue()).toBe(dense);

  // The next command runs in a fresh worker as usual.
  const expected = runNative({method: 'determinant', text: '3 1\n1 3', answers: ['2']});
  await editPane(page).fill('3 1\n1 3');
  await choose(page, '求解', '列主元求行列式');
  await answerBoxes(page, expected.boxes);
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe(expected.stdout.toString('utf8'));
});

test('Esc stops a long command too', async ({page}) => {
  await openPage(page);
  await fillDense(page);
  await choose(page, '求解', '列主元求行列式');
  await page.getByRole('dialog').getByRole('textbox').fill(DENSE_ORDER);
  await page.keyboard.press('Enter');
  await stopOnSight(page, 'escape');
  await expect(page.locator('body.busy')).toHaveCount(0);
  await expect(resultPane(page)).toHaveValue('');
});
