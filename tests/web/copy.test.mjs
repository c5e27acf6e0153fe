// Copying from the result pane: Ctrl+A there selects the trace and Ctrl+C
// copies it, however long; a drag selects across lines scrolled into sight;
// the toolbar's 复制 copies the result pane's selection (a phone has no
// Ctrl+C).
import {test, expect} from '@playwright/test';
import {answerBoxes, catalogCaption, choose, editPane, openPage, runNative, symmetric}
  from './support.mjs';

test.use({permissions: ['clipboard-read', 'clipboard-write']});

const clipboard = (page) => page.evaluate(() => navigator.clipboard.readText());

async function runAsNative(page, job) {
  const expected = runNative(job);
  await editPane(page).fill(job.text);
  await choose(page, '求解', catalogCaption(job.method));
  await answerBoxes(page, expected.boxes);
  await expect(page.locator('body.busy')).toHaveCount(0);
  return expected.stdout.toString('utf8');
}

// Jacobi of order 30 with eps 0: about 1.8 MB, shown in the read-only view.
const LONG = {method: 'jacobi', text: symmetric(30), answers: ['30', '0'], replies: ['yes']};

test('Ctrl+A and Ctrl+C in a long trace copy the whole trace', async ({page}) => {
  await openPage(page);
  const expected = await runAsNative(page, LONG);
  const view = page.locator('#text2-view');
  await expect(view).toBeVisible();
  await page.evaluate(() => navigator.clipboard.writeText('before'));
  await view.click();
  await page.keyboard.press('Control+A');
  await expect(view.locator('mark')).not.toHaveCount(0);
  await page.keyboard.press('Control+C');
  await expect.poll(() => clipboard(page)).not.toBe('before');
  // The trace as the core wrote it, CR LF and all; nothing of the page.
  expect(await clipboard(page) === expected).toBe(true);
  // The edit pane's own Ctrl+A is still the edit pane's.
  await editPane(page).click();
  await page.keyboard.press('Control+A');
  expect(await editPane(page).evaluate((node) => node.selectionEnd - node.selectionStart))
      .toBe(LONG.text.length);
});

test('a drag past the bottom edge selects every line it scrolls over', async ({page}) => {
  await openPage(page);
  const expected = await runAsNative(page, LONG);
  const view = page.locator('#text2-view');
  const box = await view.boundingBox();
  // From the start of the first line to below the pane, until the view has
  // scrolled some screens; then back into the pane.
  await page.mouse.move(box.x + 8, box.y + 6);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height + 30, {steps: 4});
  await expect.poll(() => view.evaluate((node) => node.scrollTop), {timeout: 30_000})
      .toBeGreaterThan(5 * box.height);
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2, {steps: 2});
  await page.mouse.up();
  await page.keyboard.press('Control+C');
  await expect.poll(() => clipboard(page)).not.toBe('');
  const copied = await clipboard(page);
  expect(expected.startsWith(copied)).toBe(true);
  // More lines than were ever drawn at once.
  const lines = copied.split('\r\n').length;
  const drawn = await view.evaluate((node) => node.querySelector('pre').textContent.split('\n')
      .length);
  expect(lines).toBeGreaterThan(drawn);
  expect(lines).toBeGreaterThan(5 * box.height / 20);
});

test('scrolled across, the view draws the columns in sight of every line', async ({page}) => {
  await openPage(page);
  const expected = (await runAsNative(page, LONG)).split('\r\n');
  const view = page.locator('#text2-view');
  await view.evaluate((node) => { node.scrollLeft = node.scrollWidth; });
  // Each line in sight shows its end, wide characters and all.
  const shown = await view.evaluate(async (node) => {
    await new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
    return node.querySelector('pre').textContent.split('\n');
  });
  const first = await view.evaluate((node) => {
    const pre = node.querySelector('pre');
    const top = new DOMMatrix(getComputedStyle(pre).transform).m42;
    return Math.round(top / parseFloat(getComputedStyle(pre).lineHeight));
  });
  const widest = Math.max(...expected.slice(first, first + 40).map((line) => line.length));
  for (let i = 0; i < 40; ++i) {
    const line = expected[first + i];
    expect(line.endsWith(shown[i].trimStart()), `line ${first + i}`).toBe(true);
    if (line.length === widest) expect(shown[i].trim().length).toBeGreaterThan(20);
  }
});

test.describe('on a phone', () => {
  test.use({viewport: {width: 390, height: 844}, hasTouch: true, isMobile: true});

  test('the toolbar\'s 复制 copies the result pane\'s selection', async ({page}) => {
    await openPage(page);
    const expected = await runAsNative(page, {method: 'vector-norms', text: '3 -4 12'});
    const text2 = page.locator('#text2');
    // A selection made in the result pane, as a long press makes it.
    await text2.tap();
    await text2.evaluate((node) => node.setSelectionRange(0, 20));
    await page.locator('.tool', {hasText: '复制'}).tap();
    await expect.poll(() => clipboard(page)).toBe(expected.replaceAll('\r\n', '\n').slice(0, 20));
    // With no selection there, the edit pane's selection as before.
    await text2.evaluate((node) => node.setSelectionRange(0, 0));
    await editPane(page).tap();
    await editPane(page).evaluate((node) => node.setSelectionRange(0, 2));
    await page.locator('.tool', {hasText: '复制'}).tap();
    await expect.poll(() => clipboard(page)).toBe('3 ');
  });
});
