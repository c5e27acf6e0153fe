// The page, its help and its about page as assistive technology reads them:
// axe (axe-core, locked in package-lock.json) finds no violation.
import {test, expect} from '@playwright/test';
import {createRequire} from 'node:module';
import {choose, openPage} from './support.mjs';

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
