// The menubar by keyboard (arrows between menus and items, Home/End, a
// mnemonic letter, Esc) and the focus given back after a menu, a box, a
// command and the help; the status line says what Esc does.
import {test, expect} from '@playwright/test';
import {choose, editPane, openPage} from './support.mjs';

function head(page, caption) {
  return page.getByRole('menubar').getByRole('menuitem', {name: new RegExp(`^${caption}\\(`)});
}

test('arrows, Home, End and letters move through the menubar', async ({page}) => {
  await openPage(page);
  await editPane(page).fill('4 1\n1 3');
  await page.keyboard.press('Alt+F');
  const focused = () => page.evaluate(() => document.activeElement.textContent.trim());
  expect(await focused()).toMatch(/^新建/);
  await page.keyboard.press('End');
  expect(await focused()).toMatch(/^退出/);
  await page.keyboard.press('Home');
  expect(await focused()).toMatch(/^新建/);
  await page.keyboard.press('ArrowUp');
  expect(await focused()).toMatch(/^退出/);
  // Right opens the next menu at its first item; Left comes back.
  await page.keyboard.press('ArrowRight');
  await expect(head(page, '编辑')).toHaveAttribute('aria-expanded', 'true');
  await expect(head(page, '文件')).toHaveAttribute('aria-expanded', 'false');
  await page.keyboard.press('ArrowLeft');
  await expect(head(page, '文件')).toHaveAttribute('aria-expanded', 'true');
  // Esc closes the menu and leaves the focus on its head; Right and Left
  // move between heads; Esc again goes back to the pane.
  await page.keyboard.press('Escape');
  await expect(head(page, '文件')).toBeFocused();
  await expect(page.getByRole('menu')).toHaveCount(0);
  await page.keyboard.press('ArrowRight');
  await expect(head(page, '编辑')).toBeFocused();
  await page.keyboard.press('End');
  await expect(head(page, '帮助')).toBeFocused();
  await page.keyboard.press('Home');
  await expect(head(page, '文件')).toBeFocused();
  await page.keyboard.press('Escape');
  await expect(editPane(page)).toBeFocused();
  // Only one head is in the tab order.
  expect(await page.locator('.menu-head[tabindex="0"]').count()).toBe(1);
});

test('a menu opened by a click closes on Esc and gives the focus back', async ({page}) => {
  await openPage(page);
  await editPane(page).click();
  await head(page, '显示').click();
  await expect(page.getByRole('menu')).toBeVisible();
  await page.keyboard.press('Escape');
  await expect(page.getByRole('menu')).toHaveCount(0);
  await expect(editPane(page)).toBeFocused();
});

test('the focus comes back after a box, a command and the help', async ({page}) => {
  await openPage(page);
  await editPane(page).fill('2 -1 3\n4 1 -2\n1 5 2');
  await editPane(page).focus();
  // A box from a menu item chosen by keyboard.
  await page.keyboard.press('Alt+V');
  await page.getByRole('menu').getByRole('menuitem', {name: '设置小数数位'}).click();
  await expect(page.getByRole('dialog')).toBeVisible();
  await page.keyboard.press('Escape');
  await expect(page.getByRole('dialog')).toHaveCount(0);
  await expect(editPane(page)).toBeFocused();
  // A command with its box: the status says Esc answers the box, then the
  // focus is where it was.
  await page.keyboard.press('Alt+C');
  await page.getByRole('menu').getByRole('menuitem', {name: '列主元求行列式'}).click();
  const box = page.getByRole('dialog');
  await expect(box).toBeVisible();
  await expect(page.locator('#status')).not.toContainText('Esc');
  await box.getByRole('textbox').fill('3');
  await page.keyboard.press('Enter');
  await expect(page.locator('body.busy')).toHaveCount(0);
  await expect(editPane(page)).toBeFocused();
  // The help window.
  await page.keyboard.press('Alt+H');
  await page.keyboard.press('Enter');
  await expect(page.getByRole('dialog', {name: '帮助文件'})).toBeVisible();
  await page.keyboard.press('Escape');
  await expect(page.getByRole('dialog')).toHaveCount(0);
  await expect(editPane(page)).toBeFocused();
});

test('Esc closes the manual with the focus inside it', async ({page}) => {
  await openPage(page);
  await editPane(page).click();
  await choose(page, '帮助', '帮助文件');
  const dialog = page.getByRole('dialog', {name: '帮助文件'});
  const manual = dialog.frameLocator('iframe');
  await expect(manual.getByRole('heading', {level: 1})).toBeVisible();
  await manual.locator('body').click();
  expect(await page.evaluate(() => document.activeElement.tagName)).toBe('IFRAME');
  await page.keyboard.press('Escape');
  await expect(dialog).toHaveCount(0);
  await expect(editPane(page)).toBeFocused();
  // And after a link has taken the frame to another page of the manual.
  await choose(page, '帮助', '帮助文件');
  const link = manual.locator('a[href]:not([href^="#"]):not([href^="http"])').first();
  if (await link.count() > 0) {
    const before = await dialog.locator('iframe').evaluate((node) => node.contentWindow.location.href);
    await link.click();
    await expect.poll(() => dialog.locator('iframe').evaluate((node) =>
      node.contentDocument.readyState === 'complete' && node.contentWindow.location.href))
        .not.toBe(before);
    await manual.locator('body').click();
  }
  await page.keyboard.press('Escape');
  await expect(dialog).toHaveCount(0);
});
