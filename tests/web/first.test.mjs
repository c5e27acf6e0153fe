// The first screen: the menus, the toolbar and the panes come before the
// core has loaded, the status line says the calculator is starting, the
// empty edit pane says how to write a matrix, and the disabled Solve items
// say why.
import {test, expect} from '@playwright/test';
import {editPane, openPage} from './support.mjs';

test('the menus and panes are there before the module loads', async ({page}) => {
  // The module's request never ends: a slow connection.
  await page.route('**/*.wasm', () => {});
  await page.goto('/');
  const heads = page.getByRole('menubar').getByRole('menuitem');
  await expect(heads).toHaveCount(7);
  await expect(page.getByRole('toolbar').getByRole('button')).not.toHaveCount(0);
  await expect(page.locator('#status')).toHaveText('正在启动计算器……');
  await expect(page.locator('#progress')).toBeVisible();
  await expect(editPane(page)).toHaveAttribute('placeholder', /输入矩阵/);
  await editPane(page).fill('4 1\n1 3');
  await expect(editPane(page)).toHaveValue('4 1\n1 3');
  await heads.first().click();
  await expect(page.getByRole('menu').getByRole('menuitem', {name: '打开'})).toBeVisible();
  await page.keyboard.press('Escape');
  await expect(page.locator('body.ready')).toHaveCount(0);
});

test('the Solve items say why they are disabled', async ({page}) => {
  await openPage(page);
  await expect(page.locator('#status')).not.toHaveText('正在启动计算器……');
  await page.getByRole('menubar').getByRole('menuitem', {name: /^求解\(/}).click();
  const item = page.getByRole('menu').getByRole('menuitem').first();
  await expect(item).toBeDisabled();
  await expect(item).toHaveAttribute('title', /编辑区是空的/);
  await expect(page.locator('#status')).toHaveText(/编辑区是空的/);
});

test('the menubar and the toolbar are in the page as it is served', async ({request}) => {
  const html = await (await request.get('/')).text();
  expect(html.match(/class="menu-head"/g)).toHaveLength(7);
  expect(html).toContain('文件(<u>F</u>)');
  expect(html.match(/class="tool"/g).length).toBeGreaterThan(5);
});
