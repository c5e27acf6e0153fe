// Whatever a file or a pane holds, the page shows it as text, stays
// responsive, and asks nothing of the network.
import {test, expect} from '@playwright/test';
import {writeFileSync} from 'node:fs';
import {choose, editPane, openFile, openPage, resultPane, resultText, runNative, watch}
  from './support.mjs';

const MARKUP = '<script>window.__owned = 1</script>\n<img src=x onerror="window.__owned = 2">\n' +
               '"><svg onload="window.__owned = 3">';

test('markup in a file or a trace stays text', async ({page}) => {
  const seen = watch(page);
  await openPage(page);
  await openFile(page, 'markup.txt', Buffer.from(MARKUP, 'utf8'));
  await expect(editPane(page)).toHaveValue(MARKUP);
  const expected = runNative({method: 'vector-norms', text: MARKUP});
  await choose(page, '求解', '向量范数');
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe(expected.stdout.toString('utf8'));
  // The file name is shown as text too.
  await openFile(page, '<img src=x onerror="window.__owned=4">.txt', Buffer.from('1'));
  await expect(page.getByRole('status')).toHaveText('<img src=x onerror="window.__owned=4">.txt');
  expect(await page.evaluate(() => window.__owned)).toBeUndefined();
  expect(await page.locator('img, svg, main script').count()).toBe(0);
  expect(seen.errors).toEqual([]);
});

test('binary bytes open as text and compute like the runner', async ({page}) => {
  await openPage(page);
  const bytes = Buffer.alloc(1400);
  for (let i = 0; i < bytes.length; ++i) bytes[i] = (i * 7919 + 13) % 256;
  await openFile(page, 'binary.bin', bytes);
  await expect(page.locator('body.busy')).toHaveCount(0);
  const text = await editPane(page).inputValue();
  expect(text.length).toBeGreaterThan(100);
  await choose(page, '求解', '向量范数');
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe(runNative({method: 'vector-norms', text}).stdout
                                          .toString('utf8'));
});

test('a 50 MB file and a million parentheses leave the page responsive', async ({page},
                                                                            testInfo) => {
  test.setTimeout(120_000);
  await openPage(page);
  const big = Buffer.alloc(50 * 1024 * 1024, '1 2 3 4\n');
  const path = testInfo.outputPath('big.txt');
  writeFileSync(path, big);
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'),
                                       choose(page, '文件', '打开')]);
  await chooser.setFiles(path);
  await page.getByRole('dialog', {name: '温馨提示'}).getByRole('button', {name: '是'}).click();
  await expect(page.locator('body.busy')).toHaveCount(0, {timeout: 60_000});
  expect(await page.evaluate(() => window.matcalcPage.text1().length)).toBe(big.length);
  // Shown read-only, a screenful of lines at a time.
  await expect(editPane(page)).toHaveAttribute('aria-readonly', 'true');
  await expect(editPane(page)).toContainText('1 2 3 4');
  // The page still draws frames (how fast is bench/web_page.mjs's to say).
  const drawn = await page.evaluate(() => new Promise((resolve) => {
    requestAnimationFrame(() => resolve(true));
  }));
  expect(drawn).toBe(true);

  const parentheses = '('.repeat(1_000_000) + '1' + ')'.repeat(1_000_000);
  const expected = runNative({method: 'determinant', text: parentheses, answers: ['1']});
  // 新建 gives back an empty pane to type into.
  await choose(page, '文件', '新建');
  await editPane(page).fill(parentheses);
  await choose(page, '求解', '列主元求行列式');
  await page.getByRole('dialog').getByRole('textbox').fill('1');
  await page.keyboard.press('Enter');
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe(expected.stdout.toString('utf8'));
});

test('a file too large to work on is refused unread, both panes kept', async ({page},
                                                                              testInfo) => {
  await openPage(page);
  await editPane(page).fill('1 2\n3 4');
  await resultPane(page).fill('kept');
  const path = testInfo.outputPath('huge.txt');
  // 129 MiB of zeros on disk, as a sparse file: the page must not read it.
  const {openSync, ftruncateSync, closeSync} = await import('node:fs');
  const fd = openSync(path, 'w');
  ftruncateSync(fd, 129 * 1024 * 1024);
  closeSync(fd);
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'),
                                       choose(page, '文件', '打开')]);
  await chooser.setFiles(path);
  const box = page.getByRole('dialog', {name: '矩阵计算器'});
  await expect(box.locator('.box-prompt')).toHaveText('文件太大，不能打开。');
  await page.keyboard.press('Enter');
  await expect(editPane(page)).toHaveValue('1 2\n3 4');
  await expect(resultPane(page)).toHaveValue('kept');
});

test('the page sets a content security policy and makes no request after loading',
     async ({page}) => {
  const seen = watch(page);
  const [response] = await Promise.all([page.waitForResponse((r) => r.url().endsWith(':' +
                                                               new URL(r.url()).port + '/')),
                                        openPage(page)]);
  // Served with the policy as a header: no site may frame the page.
  const headers = await response.allHeaders();
  expect(headers['content-security-policy']).toContain("frame-ancestors 'none'");
  expect(headers['x-content-type-options']).toBe('nosniff');
  expect(headers['referrer-policy']).toBe('no-referrer');
  const policy = await page.locator('meta[http-equiv="Content-Security-Policy"]')
      .getAttribute('content');
  expect(policy).toContain("script-src 'self' 'wasm-unsafe-eval'");
  expect(policy).not.toContain('unsafe-inline');
  expect(await page.locator('script:not([src])').count()).toBe(0);
  const loaded = seen.requests.length;
  await editPane(page).fill('3 4');
  await choose(page, '求解', '向量范数');
  await expect(resultPane(page)).not.toHaveValue('');
  await choose(page, '显示', '设置小数数位');
  await page.keyboard.press('Enter');
  expect(seen.requests.slice(loaded)).toEqual([]);
  // The workers are made from the page's own files.
  expect(seen.requests.every((url) => /^(blob:)?http:\/\/127\.0\.0\.1:/.test(url))).toBe(true);
});
