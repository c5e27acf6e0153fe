// The page, its help and its about page as assistive technology reads them:
// axe (axe-core, locked in package-lock.json) finds no violation.
import {test, expect} from '@playwright/test';
import {createRequire} from 'node:module';
import {answerBoxes, catalogCaption, choose, editPane, openPage, runNative} from './support.mjs';

const axePath = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

// axe is put into the page by the test, past the page's own policy.
test.use({bypassCSP: true});

async function violations(page) {
  await page.addScriptTag({path: axePath});
  const results = await page.evaluate(() => window.axe.run(document));
  return results.violations.map((violation) =>
    `${violation.id} (${violation.impact}): ${violation.nodes.map((node) => node.target).join(' ')}`);
}

async function framedSource(page, item) {
  await choose(page, '帮助', item);
  const frame = page.getByRole('dialog').last().locator('iframe');
  await expect(frame).toBeVisible();
  return frame.evaluate((node) => node.src);
}

test('axe finds nothing on the page, the help and the about page', async ({page, context}) => {
  await openPage(page);
  await page.locator('#text1').fill('4 1\n1 3');
  expect(await violations(page)).toEqual([]);
  const help = await framedSource(page, '帮助文件');
  await page.keyboard.press('Escape');
  const about = await framedSource(page, '关于');
  for (const source of [help, about]) {
    const other = await context.newPage();
    await other.goto(source);
    expect(await violations(other), source).toEqual([]);
    await other.close();
  }
});

test('文件 → 退出 shows the credits and says how to end the program', async ({page}) => {
  await openPage(page);
  const pane = page.locator('#text1');
  await pane.focus();
  await choose(page, '文件', '退出');
  const screen = page.getByRole('dialog', {name: '退出'});
  await expect(screen).toBeVisible();
  await expect(screen).toContainText('谢谢使用！');
  await expect(screen).toContainText('关闭此标签页');
  expect(await violations(page)).toEqual([]);
  await screen.click();
  await expect(screen).toHaveCount(0);
  await expect(pane).toBeFocused();
});

test('number boxes ask for a keypad, a question is described by its text, a finished command ' +
     'is announced', async ({page}) => {
  await openPage(page);
  // A question: its text is what a screen reader reads with its title.
  const job = {method: 'jacobi-iteration', text: '1 100 101\n100 1 101',
               answers: ['2', '0.0001', '10', '0', '0'], replies: ['yes']};
  const expected = runNative(job);
  await editPane(page).fill(job.text);
  await choose(page, '方程组', catalogCaption(job.method));
  const order = page.getByRole('dialog').getByRole('textbox');
  await expect(order).toHaveAttribute('inputmode', 'decimal');
  const questions = expected.boxes.filter((box) => box.kind === 'message');
  expect(questions.length).toBeGreaterThan(0);
  for (const box of expected.boxes) {
    if (box.kind === 'message') {
      const dialog = page.getByRole('dialog').last();
      await expect(dialog).toBeVisible();
      await expect(dialog).toHaveAccessibleDescription(box.text.replace(/\s+/g, ' ').trim());
    }
    await answerBoxes(page, [box]);
  }
  await expect(page.locator('body.busy')).toHaveCount(0);
  await expect(page.locator('#announce')).toHaveText(`已完成：${catalogCaption(job.method)}`);
  await expect(page.locator('#announce')).toHaveAttribute('aria-live', 'polite');
  // A file name is no number.
  await choose(page, '文件', '另存为');
  const name = page.getByRole('dialog', {name: '另存为'}).getByRole('textbox');
  await expect(name).toBeVisible();
  expect(await name.getAttribute('inputmode')).toBe(null);
});
