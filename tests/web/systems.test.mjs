// The linear-systems menu through the page: the boxes are the runner's, the
// result pane and the saved file are the runner's output byte for byte.
import {test, expect} from '@playwright/test';
import {answerBoxes, catalogCaption, choose, editPane, openPage, resultText, runNative, saveAs,
        setDigits, watch} from './support.mjs';

// 10x1 - x2 - 2x3 = 7.2, -x1 + 10x2 - 2x3 = 8.3, -x1 - x2 + 5x3 = 4.2: x = 1.1, 1.2, 1.3.
const DOMINANT = '10 -1 -2 7.2\n-1 10 -2 8.3\n-1 -1 5 4.2';
const SPD = '4 2 -2 6\n2 5 1 9\n-2 1 6 3';
const TRIDIAGONAL = '2 -1 0 0 1\n-1 2 -1 0 0\n0 -1 2 -1 0\n0 0 -1 2 1';
const GENERAL = '2 -1 3 9\n4 1 -2 -1\n1 5 2 17';

const RUNS = [
  {method: 'gauss', text: GENERAL, answers: ['3']},
  {method: 'gauss', text: '1 2 3\n2 4 6', answers: ['2'], digits: 3},
  {method: 'lu-solve', text: GENERAL, answers: ['3']},
  {method: 'cholesky', text: SPD, answers: ['3']},
  {method: 'ldlt', text: SPD, answers: ['3'], digits: 9},
  {method: 'tridiagonal', text: TRIDIAGONAL, answers: ['4']},
  {method: 'jacobi-iteration', text: DOMINANT, answers: ['3', '0.0001', '100', '0', '0', '0']},
  {method: 'gauss-seidel', text: DOMINANT, answers: ['3', '1e-6', '100']},
  {method: 'sor', text: DOMINANT, answers: ['3', '0.0001', '100', '1.1']},
  // The limit reached: the question, answered Yes, keeps the trace.
  {method: 'jacobi-iteration', text: DOMINANT, answers: ['3', '0', '5'], replies: ['yes']},
  {method: 'condition', text: GENERAL, answers: ['3']},
];

for (const run of RUNS) {
  const label = `${run.method} ${JSON.stringify(run.answers)}${run.replies ? ' ' + run.replies : ''}`;
  test(`${label} shows and saves the runner's trace`, async ({page}) => {
    const seen = watch(page);
    const expected = runNative(run);
    await openPage(page);
    if (run.digits) await setDigits(page, String(run.digits));
    await editPane(page).fill(run.text);
    await choose(page, '方程组', catalogCaption(run.method));
    await answerBoxes(page, expected.boxes);
    await expect(page.locator('body.busy')).toHaveCount(0);
    expect(await resultText(page)).toBe(expected.stdout.toString('utf8'));
    const saved = await saveAs(page);
    expect(saved.equals(expected.stdout)).toBe(true);
    expect(seen.errors).toEqual([]);
  });
}

test('the linear-systems items follow whether the edit pane is blank', async ({page}) => {
  await openPage(page);
  const item = () => page.getByRole('menu').getByRole('menuitem', {name: '追赶法', exact: true});
  await page.getByRole('menubar').getByRole('menuitem', {name: /^方程组\(/}).click();
  await expect(item()).toBeDisabled();
  await editPane(page).click();
  await editPane(page).fill(' 1 ');
  await page.getByRole('menubar').getByRole('menuitem', {name: /^方程组\(/}).click();
  await expect(item()).toBeEnabled();
});
