// A long command: the page stays responsive, shows progress, and 停止 ends
// the command with both panes as they were.
import {test, expect} from '@playwright/test';
import {answerBoxes, choose, editPane, openPage, resultPane, resultText, runNative}
  from './support.mjs';

// A dense matrix of order 1200 whose determinant takes seconds: typed into
// the edit pane by the page itself (7 MB).
const DENSE_ORDER = '1200';
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
  await expect(stop).toBeVisible();
  await expect(page.locator('#progress')).toBeVisible();
  // The page answers while the worker computes.
  const answered = await page.evaluate(() => new Promise((resolve) => {
    const started = performance.now();
    requestAnimationFrame(() => resolve(performance.now() - started));
  }));
  expect(answered).toBeLessThan(500);
  await stop.click();
  await expect(stop).toBeHidden();
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
  await expect(page.getByRole('button', {name: '停止'})).toBeVisible();
  await page.keyboard.press('Escape');
  await expect(page.locator('body.busy')).toHaveCount(0);
  await expect(resultPane(page)).toHaveValue('');
});
