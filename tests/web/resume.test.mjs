// A command with many boxes runs once in the page: each answer lets it go on
// from its box, and the trace is the runner's.
import {test, expect} from '@playwright/test';
import {answerBoxes, choose, crlf, editPane, openPage, resultText, runNative, saveAs,
        symmetric} from './support.mjs';

function diagonallyDominant(n) {
  const rows = [];
  for (let i = 1; i <= n; ++i) {
    const row = [];
    for (let j = 1; j <= n; ++j) row.push(i === j ? 4 * n : 1);
    row.push(i);
    rows.push(row.join(' '));
  }
  return rows.join('\n');
}

test('an iteration asked for every component of x0 runs once', async ({page}) => {
  const n = 12;
  const text = diagonallyDominant(n);
  const answers = [String(n), '1e-9', '50', ...Array.from({length: n}, (_, i) => String(i % 3))];
  const native = runNative({method: 'jacobi-iteration', text, answers});
  expect(native.boxes).toHaveLength(n + 3);
  await openPage(page);
  await editPane(page).fill(text);
  await choose(page, '方程组', '雅可比迭代法');
  await answerBoxes(page, native.boxes);
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe(crlf(native.stdout.toString('utf8')));
  // Not once per box answered, as a command run again from its start would:
  // the text was taken for the order box's default and for reading it.
  expect(await page.evaluate(() => document.body.dataset.lastRuns)).toBe('1');
  expect(await page.evaluate(() => document.body.dataset.lastTextLooks)).toBe('2');
});

test('a give-up question answered 是 keeps the trace written before it', async ({page}) => {
  const text = '4 1 0 0\n1 4 1 0\n0 1 4 1\n0 0 1 4';
  const native = runNative({method: 'jacobi', text, answers: ['4', '0'], replies: ['yes']});
  await openPage(page);
  await editPane(page).fill(text);
  await choose(page, '求解', '古典雅可比法');
  await answerBoxes(page, native.boxes);
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe(crlf(native.stdout.toString('utf8')));
  expect(await page.evaluate(() => document.body.dataset.lastRuns)).toBe('1');
});

test('a long trace shown at a box is not sent again when the command goes on', async ({page}) => {
  // The bytes of trace each message from a worker carries.
  await page.addInitScript(() => {
    window.traceBytes = [];
    window.Worker = class extends window.Worker {
      constructor(...args) {
        super(...args);
        this.addEventListener('message', ({data}) => {
          const bytes = data.pane || data.text;
          if (bytes instanceof Uint8Array) window.traceBytes.push([data.type, bytes.length]);
        });
      }
    };
  });
  // Jacobi of order 30 with eps 0: about 1.8 MB before its give-up question,
  // shown in the read-only view, and some lines after it.
  const text = symmetric(30);
  const native = runNative({method: 'jacobi', text, answers: ['30', '0'], replies: ['yes']});
  const expected = crlf(native.stdout.toString('utf8'));
  await openPage(page);
  await editPane(page).fill(text);
  await choose(page, '求解', '古典雅可比法');
  await answerBoxes(page, native.boxes);
  await expect(page.locator('body.busy')).toHaveCount(0);
  const sent = await page.evaluate(() => window.traceBytes);
  expect(sent.map(([type]) => type)).toEqual(['ask', 'done']);
  expect(sent[0][1] + sent[1][1]).toBe(Buffer.byteLength(expected, 'utf8'));
  expect(sent[1][1]).toBeLessThan(sent[0][1] / 100);
  // The trace in its two pieces is shown, saved and copied whole.
  await expect(page.locator('#text2-view')).toBeVisible();
  expect(await resultText(page)).toBe(expected);
  expect((await saveAs(page)).equals(Buffer.from(expected, 'utf8'))).toBe(true);
});
