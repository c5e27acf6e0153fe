// After the first visit the page works without the server.
import {test, expect} from '@playwright/test';
import {answerBoxes, choose, editPane, openPage, resultText, runNative} from './support.mjs';

test('a reload offline is served by the service worker and computes', async ({page, context}) => {
  await openPage(page);
  await page.evaluate(async () => {
    await navigator.serviceWorker.ready;
  });
  await context.setOffline(true);
  await page.reload();
  await expect(page.locator('body.ready')).toBeAttached();
  expect(await page.evaluate(() => navigator.serviceWorker.controller !== null)).toBe(true);
  const text = '2 1\n1 3';
  const expected = runNative({method: 'lu', text, answers: ['2']});
  await editPane(page).fill(text);
  await choose(page, '求解', '矩阵的三角分解');
  await answerBoxes(page, expected.boxes);
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe(expected.stdout.toString('utf8'));
  await choose(page, '帮助', '帮助文件');
  await expect(page.getByRole('dialog', {name: '帮助文件'}).frameLocator('iframe')
      .getByRole('heading', {level: 1})).toHaveText('矩阵计算器 帮助');
  // The page by its file name, as a bookmark or a link may name it.
  await page.goto('/index.html');
  await expect(page.locator('body.ready')).toBeAttached();
});

test('the manifest makes the page installable', async ({page}) => {
  await openPage(page);
  const manifest = await page.evaluate(async () => {
    const link = document.querySelector('link[rel=manifest]');
    return (await fetch(link.href)).json();
  });
  expect(manifest.name).toBe('矩阵计算器');
  expect(manifest.display).toBe('standalone');
  expect(manifest.icons.map((icon) => icon.sizes)).toEqual(['192x192', '512x512', 'any']);
});
