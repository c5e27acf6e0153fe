// 帮助's examples: each puts the program's example file into the edit pane,
// before the module has loaded too, and a text of the user's is asked about
// before it is replaced.
import {test, expect} from '@playwright/test';
import {readFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {crlf, editPane, editText, openPage, resultText} from './support.mjs';

const examples = join(dirname(fileURLToPath(import.meta.url)), '..', '..', 'resources', 'examples');

function exampleText(name) {
  return crlf(readFileSync(join(examples, name), 'utf8'));
}

async function chooseExample(page, caption) {
  await page.getByRole('menubar').getByRole('menuitem', {name: /^帮助\(/}).click();
  await page.getByRole('menu').getByRole('menuitem', {name: caption, exact: true}).click();
}

test('an example is there before the module loads', async ({page}) => {
  await page.route('**/*.wasm', () => {});
  await page.goto('/');
  await chooseExample(page, '示例：对称矩阵（雅可比法）');
  expect(await editText(page)).toBe(exampleText('symmetric3.txt'));
  await expect(page.locator('#status')).toHaveText('symmetric3.txt');
  await expect(page.locator('body.ready')).toHaveCount(0);
});

test('every example goes to the edit pane', async ({page}) => {
  await openPage(page);
  await page.getByRole('menubar').getByRole('menuitem', {name: /^帮助\(/}).click();
  const captions = await page.getByRole('menu').getByRole('menuitem', {name: /^示例：/})
      .allTextContents();
  await page.keyboard.press('Escape');
  expect(captions).toHaveLength(13);
  for (const caption of captions) {
    await chooseExample(page, caption);
    const name = await page.locator('#status').textContent();
    expect(await editText(page)).toBe(exampleText(name));
  }
  // The last one (data points to fit) enables the Solve menus, the matrix
  // menu among them.
  await page.getByRole('menubar').getByRole('menuitem', {name: /^求解\(/}).click();
  await expect(page.getByRole('menu').getByRole('menuitem').first()).toBeEnabled();
  await page.keyboard.press('Escape');
  await page.getByRole('menubar').getByRole('menuitem', {name: /^矩阵\(/}).click();
  await expect(page.getByRole('menu').getByRole('menuitem', {name: '线性方程组的通解'}))
      .toBeEnabled();
});

test('a text of the user\'s is replaced only after a Yes', async ({page}) => {
  await openPage(page);
  await editPane(page).fill('1 2\n3 4');
  await chooseExample(page, '示例：向量范数');
  const box = page.getByRole('dialog', {name: '温馨提示'});
  await expect(box).toContainText('编辑区域中的内容将被示例替换，是否继续？');
  await expect(box.getByRole('button', {name: '否'})).toBeFocused();
  await page.keyboard.press('Enter');
  expect(await editText(page)).toBe('1 2\r\n3 4');

  await chooseExample(page, '示例：向量范数');
  await page.getByRole('dialog', {name: '温馨提示'}).getByRole('button', {name: '是'}).click();
  expect(await editText(page)).toBe(exampleText('vector3.txt'));
  expect(await resultText(page)).toBe('');
  // The same example again: nothing to lose, nothing asked.
  await chooseExample(page, '示例：向量范数');
  await expect(page.getByRole('dialog')).toHaveCount(0);
});
