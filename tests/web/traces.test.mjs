// The result pane stays in the page: a command's worker is told only the
// pane's length and reports what the command did to it (emptied, appended),
// so a long trace neither travels nor counts six times in the budgets.
import {test, expect} from '@playwright/test';
import {answerBoxes, catalogCaption, choose, editPane, openPage, resultText, runNative, saveAs,
        symmetric} from './support.mjs';

const GENERAL = '2 -1 3\n4 1 -2\n1 5 2';

// Records the size of every message the page posts to a worker.
async function watchPosts(page) {
  await page.addInitScript(() => {
    window.postedToWorkers = [];
    const post = Worker.prototype.postMessage;
    Worker.prototype.postMessage = function (message, ...rest) {
      let size = 0;
      for (const value of Object.values(message || {})) {
        if (typeof value === 'string') size += value.length;
      }
      window.postedToWorkers.push(size);
      return post.call(this, message, ...rest);
    };
  });
}

async function runAsNative(page, job) {
  const expected = runNative(job);
  await editPane(page).fill(job.text);
  await choose(page, '求解', catalogCaption(job.method));
  await answerBoxes(page, expected.boxes);
  await expect(page.locator('body.busy')).toHaveCount(0);
  return expected.stdout.toString('utf8');
}

test('a command after a long trace runs, and the trace never goes to the worker',
     async ({page}) => {
  test.setTimeout(240_000);
  await watchPosts(page);
  await openPage(page);
  // Jacobi of order 200 with eps 0: about 196 MB of trace.
  await editPane(page).fill(symmetric(200));
  await choose(page, '求解', catalogCaption('jacobi'));
  for (const answer of ['200', '0']) {
    const box = page.getByRole('dialog').last();
    await box.getByRole('textbox').fill(answer);
    await page.keyboard.press('Enter');
  }
  await page.getByRole('dialog').last().getByRole('button', {name: '是'}).click();
  await expect(page.locator('body.busy')).toHaveCount(0, {timeout: 200_000});
  const long = await page.evaluate(() => window.matcalcPage.text2().length);
  expect(long).toBeGreaterThan(150_000_000);

  const expected = await runAsNative(page, {method: 'determinant', text: GENERAL,
                                             answers: ['3']});
  expect(await resultText(page)).toBe(expected);
  // Nothing the page posted came near the pane's length: the edit pane's
  // text (about 430 000 characters) was the longest.
  const largest = await page.evaluate(() => Math.max(...window.postedToWorkers));
  expect(largest).toBeLessThan(1_000_000);
});

test('what a command appends goes after the pane the page kept', async ({page}) => {
  await openPage(page);
  // The trace before a box is shown behind it, applied the same way.
  const job = {method: 'jacobi', text: '4 1 0 0\n1 4 1 0\n0 1 4 1\n0 0 1 4',
               answers: ['4', '0'], replies: ['yes']};
  const first = await runAsNative(page, job);
  expect(await resultText(page)).toBe(first);
  const second = await runAsNative(page, {method: 'vector-norms', text: '3 -4 12'});
  const shown = await resultText(page);
  // Either the command emptied the pane or it appended to the trace.
  expect([second, first + second]).toContain(shown);
});

test('a long trace is kept as the core wrote it: shown, saved and printed whole',
     async ({page}) => {
  await openPage(page);
  const job = {method: 'jacobi', text: symmetric(30), answers: ['30', '0'], replies: ['yes']};
  const expected = await runAsNative(page, job);
  expect(expected.length).toBeGreaterThan(1 << 20);
  // The pane's read-only view shows it, a screenful at a time.
  await expect(page.locator('#text2-view')).toBeVisible();
  await expect(page.locator('#text2-view')).toContainText('以上是所要求解的矩阵');
  expect((await saveAs(page)).equals(Buffer.from(expected, 'utf8'))).toBe(true);
  expect(await resultText(page)).toBe(expected);
});
