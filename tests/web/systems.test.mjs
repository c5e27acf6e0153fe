// The linear-systems menu follows the Solve menu's rule: its items are
// offered once the edit pane holds something other than spaces.
import {test, expect} from '@playwright/test';
import {editPane, openPage} from './support.mjs';

test('the linear-systems items follow whether the edit pane is blank', async ({page}) => {
  await openPage(page);
  const menu = page.getByRole('menubar').getByRole('menuitem', {name: /^方程组\(/});
  const item = page.getByRole('menu').getByRole('menuitem', {name: '追赶法', exact: true});
  await menu.click();
  await expect(item).toBeDisabled();
  await editPane(page).click();
  await editPane(page).fill(' 1 ');
  await menu.click();
  await expect(item).toBeEnabled();
});
