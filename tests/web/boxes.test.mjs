// The boxes as the window shows them: titles, Enter and Esc, the default
// button of a question.
import {test, expect} from '@playwright/test';
import {PROGRAM_TITLE, choose, editPane, openPage, resultText, runNative} from './support.mjs';

const NO_CONVERGENCE = '4 1 0 0\n1 4 1 0\n0 1 4 1\n0 0 1 4';

async function reachQuestion(page) {
  await openPage(page);
  await editPane(page).fill(NO_CONVERGENCE);
  await choose(page, '求解', '古典雅可比法');
  for (const answer of ['4', '0']) {
    await page.getByRole('dialog', {name: '输入数据'}).getByRole('textbox').fill(answer);
    await page.keyboard.press('Enter');
  }
  const question = page.getByRole('dialog', {name: '警告'});
  await expect(question).toBeVisible();
  return question;
}

test('a question shows the trace so far behind it and defaults to No', async ({page}) => {
  const kept = runNative({method: 'jacobi', text: NO_CONVERGENCE, answers: ['4', '0'],
                          replies: ['yes']}).stdout.toString('utf8');
  const question = await reachQuestion(page);
  // The trace written before the question is already in the result pane.
  expect(await resultText(page)).toBe(kept.slice(0, (await resultText(page)).length));
  expect((await resultText(page)).length).toBeGreaterThan(1000);
  await expect(question.getByRole('button', {name: '否'})).toBeFocused();
  await expect(question.locator('.box-prompt')).toHaveText(
      '此方法不适合这个矩阵，计算被迫终止，请重新选择其他方法。\n结果是否还要查看？',
      {useInnerText: true});
  await page.keyboard.press('Enter');
  await expect(question).toHaveCount(0);
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe('');
});

test('Esc answers a question No; Tab and Enter press the other button', async ({page}) => {
  let question = await reachQuestion(page);
  await page.keyboard.press('Escape');
  await expect(question).toHaveCount(0);
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe('');

  await choose(page, '求解', '古典雅可比法');
  for (const answer of ['4', '0']) {
    await page.getByRole('dialog', {name: '输入数据'}).getByRole('textbox').fill(answer);
    await page.keyboard.press('Enter');
  }
  question = page.getByRole('dialog', {name: '警告'});
  await question.getByRole('button', {name: '是'}).focus();
  await page.keyboard.press('Enter');
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe(runNative({method: 'jacobi', text: NO_CONVERGENCE,
                                                 answers: ['4', '0'], replies: ['yes']})
                                          .stdout.toString('utf8'));
});

test('a box without a title of its own carries the program title', async ({page}) => {
  await openPage(page);
  await choose(page, '文件', '保存');
  const box = page.getByRole('dialog', {name: PROGRAM_TITLE});
  await expect(box.locator('.box-prompt')).toHaveText('结果为空，不能保存#');
  await expect(box.getByRole('button', {name: '确定'})).toBeFocused();
  await page.keyboard.press('Escape');
  await expect(box).toHaveCount(0);
});

test('an order too large is refused as in the window, panes unchanged', async ({page}) => {
  await openPage(page);
  await editPane(page).fill('1 2\n3 4');
  const expected = runNative({method: 'determinant', text: '1 2\n3 4', answers: ['32767']});
  await choose(page, '求解', '列主元求行列式');
  await page.getByRole('dialog').getByRole('textbox').fill('32767');
  await page.keyboard.press('Enter');
  const refusal = page.getByRole('dialog', {name: PROGRAM_TITLE});
  await expect(refusal.locator('.box-prompt')).toHaveText(expected.boxes[1].text);
  await page.keyboard.press('Enter');
  await expect(page.locator('body.busy')).toHaveCount(0);
  expect(await resultText(page)).toBe('');
  await expect(editPane(page)).toHaveValue('1 2\n3 4');
});

test('the Solve menu offers its items only for a text that is not all spaces',
     async ({page}) => {
  await openPage(page);
  const item = page.getByRole('menu').getByRole('menuitem', {name: '幂法', exact: true});
  const solve = page.getByRole('menubar').getByRole('menuitem', {name: /^求解/});
  await solve.click();
  await expect(item).toBeDisabled();
  await solve.click();
  await editPane(page).fill('   ');
  await solve.click();
  await expect(item).toBeDisabled();
  await solve.click();
  await editPane(page).fill('  \n');
  await solve.click();
  await expect(item).toBeEnabled();
  await solve.click();
  await page.getByRole('menubar').getByRole('menuitem', {name: /^编辑/}).click();
  for (const caption of ['撤消', '还原']) {
    await expect(page.getByRole('menu').getByRole('menuitem', {name: caption})).toBeDisabled();
  }
});
