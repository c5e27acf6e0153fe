// The decimal digits (the core's rules), font size and background, kept
// between visits.
import {test, expect} from '@playwright/test';
import {choose, editPane, openPage, resultText, runNative, answerBoxes, setDigits}
  from './support.mjs';

test('the digits answer is read, rounded and kept within 1..15', async ({page}) => {
  await openPage(page);
  // Each row: the answer typed, the setting it gives (shown as the next default).
  const rows = [
    ['20', '15'], ['-3', '1'], ['0', '1'], ['abc', '1'], ['', '1'], ['7.5', '8'],
    ['2.5', '2'], ['&HA', '10'], ['1e9', '15'], [' 1 2', '12'],
  ];
  expect(await setDigits(page, '6')).toBe('6');
  for (const [answer, digits] of rows) {
    await setDigits(page, answer);
    expect(await setDigits(page, null), `answer ${JSON.stringify(answer)}`).toBe(digits);
  }
  // A cancelled prompt keeps the setting.
  await setDigits(page, '4');
  await setDigits(page, null);
  expect(await setDigits(page, null)).toBe('4');
});

test('the digits reach the trace, survive a reload, and 默认 restores 6', async ({page}) => {
  await openPage(page);
  await setDigits(page, '3');
  await page.reload();
  await expect(page.locator('body.ready')).toBeAttached();
  const text = '1 2 3\n4 5 6\n7 8 10';
  const expected = runNative({method: 'inverse', text, answers: ['3'], digits: 3});
  await editPane(page).fill(text);
  await choose(page, '求解', '列主元求逆矩阵');
  await answerBoxes(page, expected.boxes);
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe(expected.stdout.toString('utf8'));
  await choose(page, '显示', '默认');
  expect(await setDigits(page, null)).toBe('6');
  // Stored digits the core could not have given are not taken back.
  for (const stored of [40, 0, 2.5, '9']) {
    await page.evaluate((digits) => localStorage.setItem('matcalc.display',
                                                         JSON.stringify({digits})), stored);
    await page.reload();
    await expect(page.locator('body.ready')).toBeAttached();
    expect(await setDigits(page, null)).toBe('6');
  }
});

test('font size and background apply to both panes and are kept', async ({page}) => {
  await openPage(page);
  await choose(page, '显示', '字体');
  await page.getByRole('dialog', {name: '字体'}).getByRole('spinbutton').fill('14');
  await page.keyboard.press('Enter');
  await choose(page, '显示', '背景');
  await page.getByRole('dialog', {name: '背景'}).locator('input[type=color]').fill('#ffeecc');
  await page.getByRole('dialog', {name: '背景'}).getByRole('button', {name: '确定'}).click();
  await page.reload();
  await expect(page.locator('body.ready')).toBeAttached();
  for (const pane of ['#text1', '#text2']) {
    const style = await page.locator(pane).evaluate((node) => {
      const computed = getComputedStyle(node);
      return [computed.fontSize, computed.backgroundColor];
    });
    expect(style).toEqual(['18.6667px', 'rgb(255, 238, 204)']);
  }
  // Cancelling the font box changes nothing.
  await choose(page, '显示', '字体');
  await page.getByRole('dialog', {name: '字体'}).getByRole('spinbutton').fill('30');
  await page.keyboard.press('Escape');
  expect(await page.locator('#text1').evaluate((node) => getComputedStyle(node).fontSize))
      .toBe('18.6667px');
  await choose(page, '显示', '默认');
  expect(await page.locator('#text2').evaluate((node) => getComputedStyle(node).fontSize))
      .toBe('12px');
});

test('精确分数 is checked, shown in the status line, reaches the trace and is kept',
     async ({page}) => {
  await openPage(page);
  const item = async () => {
    await page.getByRole('menubar').getByRole('menuitem', {name: /^显示\(/}).click();
    return page.getByRole('menu').getByRole('menuitemcheckbox', {name: /精确分数/});
  };
  const panel = page.locator('#exact-panel');
  await expect(await item()).toHaveAttribute('aria-checked', 'false');
  await page.keyboard.press('Escape');
  await expect(panel).toBeHidden();
  await (await item()).click();
  await expect(panel).toBeVisible();
  await expect(panel).toHaveText('分数');
  await page.reload();
  await expect(page.locator('body.ready')).toBeAttached();
  await expect(panel).toBeVisible();
  const text = '0 1 0\n1/4 0 1/2\n1/2 0 1/3';
  const expected = runNative({method: 'determinant', text, answers: ['3'], exact: true});
  expect(expected.stdout.toString('utf8')).toContain('1/6');
  await editPane(page).fill(text);
  await choose(page, '求解', '列主元求行列式');
  await answerBoxes(page, expected.boxes);
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe(expected.stdout.toString('utf8'));
  await expect(await item()).toHaveAttribute('aria-checked', 'true');
  await page.keyboard.press('Escape');
  await choose(page, '显示', '默认');
  await expect(panel).toBeHidden();
  await expect(await item()).toHaveAttribute('aria-checked', 'false');
});
