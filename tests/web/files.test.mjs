// Opening files (UTF-8 with or without a byte-order mark, GB18030, the
// large-file question, a dropped file) and saving the result pane.
import {test, expect} from '@playwright/test';
import {PROGRAM_TITLE, answerBoxes, choose, editPane, openFile, openPage, resultPane,
        resultText, runNative, saveAs} from './support.mjs';

// "2 1\n1 2\n矩阵说明" in GB18030.
const GB18030 = Buffer.from([0x32, 0x20, 0x31, 0x0a, 0x31, 0x20, 0x32, 0x0a,
                             0xbe, 0xd8, 0xd5, 0xf3, 0xcb, 0xb5, 0xc3, 0xf7]);

test('GB18030, UTF-8, UTF-8 and UTF-16 with a byte-order mark open alike', async ({page}) => {
  await openPage(page);
  const utf8 = Buffer.from('2 1\n1 2\n矩阵说明', 'utf8');
  const utf16 = Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from('2 1\n1 2\n矩阵说明', 'utf16le')]);
  for (const [name, bytes] of [['gb.txt', GB18030], ['utf8.txt', utf8],
                               ['bom.txt', Buffer.concat([Buffer.from([0xef, 0xbb, 0xbf]),
                                                          utf8])],
                               ['utf16.txt', utf16]]) {
    await resultPane(page).fill('old trace');
    await openFile(page, name, bytes);
    await expect(editPane(page)).toHaveValue('2 1\n1 2\n矩阵说明');
    await expect(resultPane(page)).toHaveValue('');
    await expect(page.getByRole('status')).toHaveText(name);
  }
});

test('a file over 1500 bytes asks first; No keeps both panes', async ({page}) => {
  await openPage(page);
  await editPane(page).fill('1 2\n3 4');
  await resultPane(page).fill('kept');
  const big = Buffer.from('1 '.repeat(750) + '\n', 'utf8');  // 1501 bytes
  await openFile(page, 'big.txt', big);
  const question = page.getByRole('dialog', {name: '温馨提示'});
  await expect(question.locator('.box-prompt'))
      .toHaveText('文件太大，如果打开可能要等一段时间，是否仍要继续？');
  await expect(question.getByRole('button', {name: '否'})).toBeFocused();
  await page.keyboard.press('Enter');
  await expect(question).toHaveCount(0);
  await expect(page.locator('body.busy')).toHaveCount(0);
  await expect(editPane(page)).toHaveValue('1 2\n3 4');
  await expect(resultPane(page)).toHaveValue('kept');

  await openFile(page, 'big.txt', big);
  await page.getByRole('dialog', {name: '温馨提示'}).getByRole('button', {name: '是'}).click();
  await expect(editPane(page)).toHaveValue(big.toString('utf8'));

  // Exactly 1500 bytes: no question.
  await openFile(page, 'edge.txt', big.subarray(1));
  await expect(editPane(page)).toHaveValue(big.subarray(1).toString('utf8'));
  await expect(page.getByRole('dialog')).toHaveCount(0);
});

test('an empty file empties both panes and says so', async ({page}) => {
  await openPage(page);
  await editPane(page).fill('1 2');
  await resultPane(page).fill('trace');
  await openFile(page, 'empty.txt', Buffer.alloc(0));
  const box = page.getByRole('dialog', {name: PROGRAM_TITLE});
  await expect(box.locator('.box-prompt')).toHaveText('文件为空，请重新选择文件#');
  await page.keyboard.press('Enter');
  await expect(editPane(page)).toHaveValue('');
  await expect(resultPane(page)).toHaveValue('');
});

test('a file dropped on the edit pane is opened', async ({page}) => {
  await openPage(page);
  const transfer = await page.evaluateHandle((bytes) => {
    const data = new DataTransfer();
    data.items.add(new File([new Uint8Array(bytes)], 'dropped.txt', {type: 'text/plain'}));
    return data;
  }, [...GB18030]);
  await editPane(page).dispatchEvent('drop', {dataTransfer: transfer});
  await expect(editPane(page)).toHaveValue('2 1\n1 2\n矩阵说明');
  await expect(page.getByRole('status')).toHaveText('dropped.txt');
});

test('save asks a name once, then saves the same bytes again; save as always asks',
     async ({page}) => {
  await openPage(page);
  const text = '5 2\n2 3';
  const expected = runNative({method: 'inverse', text, answers: ['2']});
  await editPane(page).fill(text);
  await choose(page, '求解', '列主元求逆矩阵');
  await answerBoxes(page, expected.boxes);
  await expect(page.locator('body.busy')).toHaveCount(0);

  await choose(page, '文件', '保存');
  const ask = page.getByRole('dialog', {name: '保存'});
  await ask.getByRole('textbox').fill('inverse.txt');
  let [download] = await Promise.all([page.waitForEvent('download'),
                                      page.keyboard.press('Enter')]);
  expect(download.suggestedFilename()).toBe('inverse.txt');
  [download] = await Promise.all([page.waitForEvent('download'),
                                  page.keyboard.press('Control+S')]);
  expect(download.suggestedFilename()).toBe('inverse.txt');
  const { readFileSync } = await import('node:fs');
  expect(readFileSync(await download.path()).equals(expected.stdout)).toBe(true);
  await expect(page.getByRole('status')).toHaveText('inverse.txt');

  // A trace edited by hand is saved as it stands, line breaks as CR LF.
  await resultPane(page).fill('第一行\n第二行');
  expect((await saveAs(page, 'edited.txt')).toString('utf8')).toBe('第一行\r\n第二行');

  // A cancelled name: nothing saved, and the message says so.
  await choose(page, '文件', '另存为');
  await page.keyboard.press('Escape');
  const box = page.getByRole('dialog', {name: PROGRAM_TITLE});
  await expect(box.locator('.box-prompt')).toHaveText('没有保存文件。');
  await page.keyboard.press('Enter');
  expect(await resultText(page)).toBe('第一行\r\n第二行');
});
