// The page on a wide screen and on a phone.
import {test, expect} from '@playwright/test';
import {spawnSync} from 'node:child_process';
import {choose, editPane, findRunner, openPage, resultPane} from './support.mjs';

test('wide: the panes stand side by side', async ({page}) => {
  await page.setViewportSize({width: 1280, height: 800});
  await openPage(page);
  const edit = await editPane(page).boundingBox();
  const result = await resultPane(page).boundingBox();
  expect(result.x).toBeGreaterThan(edit.x + edit.width - 1);
  expect(Math.abs(result.y - edit.y)).toBeLessThan(2);
});

test('390 x 844: stacked panes, no horizontal scrolling, menus inside the screen',
     async ({page}) => {
  await page.setViewportSize({width: 390, height: 844});
  await openPage(page);
  await editPane(page).fill('1 '.repeat(400));
  const edit = await editPane(page).boundingBox();
  const result = await resultPane(page).boundingBox();
  expect(result.y).toBeGreaterThan(edit.y + edit.height - 1);
  expect(edit.width).toBeGreaterThan(300);
  const overflow = () => page.evaluate(() => [document.documentElement.scrollWidth,
                                              document.documentElement.clientWidth]);
  let [scroll, client] = await overflow();
  expect(scroll).toBeLessThanOrEqual(client);
  for (const menu of ['文件', '编辑', '显示', '求解', '帮助']) {
    await page.getByRole('menubar').getByRole('menuitem', {name: new RegExp(`^${menu}\\(`)}).click();
    const list = await page.getByRole('menu').boundingBox();
    expect(list.x).toBeGreaterThanOrEqual(0);
    expect(list.x + list.width).toBeLessThanOrEqual(390);
    await page.getByRole('menubar').getByRole('menuitem', {name: new RegExp(`^${menu}\\(`)}).click();
  }
  await choose(page, '求解', '矩阵范数');
  const box = await page.getByRole('dialog').boundingBox();
  expect(box.x).toBeGreaterThanOrEqual(0);
  expect(box.x + box.width).toBeLessThanOrEqual(390);
  [scroll, client] = await overflow();
  expect(scroll).toBeLessThanOrEqual(client);
});

test('the manual opens inside the page', async ({page}) => {
  await openPage(page);
  await choose(page, '帮助', '帮助文件');
  const manual = page.getByRole('dialog', {name: '帮助文件'});
  await expect(manual.frameLocator('iframe').getByRole('heading', {level: 1}))
      .toHaveText('矩阵计算器 帮助');
  await page.keyboard.press('Escape');
  await expect(manual).toHaveCount(0);
});

test('the about box shows the version and the third-party notices', async ({page}) => {
  // The runner and the page are built from one project version.
  const version = spawnSync(findRunner(), ['--version']).stdout.toString('utf8').trim()
      .replace(/^matcalc-cli /, '');
  await openPage(page);
  await choose(page, '帮助', '关于');
  const about = page.getByRole('dialog', {name: '关于矩阵计算器'}).frameLocator('iframe');
  await expect(about.getByText(`版本 ${version}`, {exact: true})).toBeVisible();
  await about.getByRole('link', {name: '第三方组件与许可'}).click();
  await expect(about.getByRole('heading', {level: 1})).toHaveText('第三方组件与许可');
  await expect(about.getByText('LGPL-3.0-only')).toBeVisible();
});
