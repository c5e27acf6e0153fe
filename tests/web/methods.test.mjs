// Every method through the page: the boxes are the runner's, the result pane
// and the saved file are the runner's output byte for byte.
import {test, expect} from '@playwright/test';
import {answerBoxes, catalogCaption, choose, editPane, openPage, resultText, runNative, saveAs,
        setDigits, watch} from './support.mjs';

const TRIDIAGONAL = '4 1 0\n1 4 1\n0 1 4';
const GENERAL = '2 -1 3\n4 1 -2\n1 5 2';
// 10x1 - x2 - 2x3 = 7.2, -x1 + 10x2 - 2x3 = 8.3, -x1 - x2 + 5x3 = 4.2.
const SYSTEM = '10 -1 -2 7.2\n-1 10 -2 8.3\n-1 -1 5 4.2';

const RUNS = [
  {method: 'power', text: TRIDIAGONAL, answers: ['3', '0.0001', '1', '2', '1']},
  // A zero component: the message box, then the default vector.
  {method: 'power', text: TRIDIAGONAL, answers: ['3', '0.0001', '1', '0']},
  {method: 'shift', text: TRIDIAGONAL, answers: ['3', '0.0001', '1.5', '1', '1', '1']},
  {method: 'inverse-power', text: GENERAL, answers: ['3', '0.0001', '1', '1', '1']},
  {method: 'jacobi', text: TRIDIAGONAL, answers: ['3', '0.0001']},
  {method: 'jacobi-threshold', text: '5 2 1\n2 6 2\n1 2 7', answers: ['3', '1e-6'], digits: 3},
  // No convergence with eps 0: the question, answered Yes, keeps the trace.
  {method: 'jacobi', text: '4 1 0 0\n1 4 1 0\n0 1 4 1\n0 0 1 4', answers: ['4', '0'],
   replies: ['yes']},
  {method: 'inverse', text: GENERAL, answers: ['3']},
  {method: 'determinant', text: GENERAL, answers: ['3'], digits: 9},
  {method: 'lu', text: '2 1 1\n4 3 3\n8 7 9', answers: ['3']},
  {method: 'positive-definite', text: TRIDIAGONAL, answers: ['3']},
  {method: 'vector-norms', text: '3 -4 12 sqr(2)', answers: []},
  {method: 'matrix-norms', text: GENERAL, answers: ['3']},
  {method: 'diagonal-dominance', text: TRIDIAGONAL, answers: ['3']},
  // Entries as expressions, and a cancelled initial vector.
  {method: 'power', text: '2*pi 1\n1 sqr(2)', answers: ['2', '0.001']},
  // The iterative solvers of the 方程组 menu: success, the limit kept, divergence.
  {method: 'jacobi-iteration', menu: '方程组', text: SYSTEM, answers: ['3', '0.0001', '100']},
  {method: 'sor', menu: '方程组', text: SYSTEM, answers: ['3', '1e-6', '100', '1.2', '1', '-0.5'],
   digits: 4},
  {method: 'gauss-seidel', menu: '方程组', text: SYSTEM, answers: ['3', '0', '4'], replies: ['yes']},
  {method: 'jacobi-iteration', menu: '方程组', text: '1 10 1\n10 1 1', answers: ['2', '0', '400']},
  // The direct solvers and the condition numbers.
  {method: 'gauss', menu: '方程组', text: '2 -1 3 9\n4 1 -2 -1\n1 5 2 17', answers: ['3']},
  {method: 'gauss', menu: '方程组', text: '1 2 3\n2 4 6', answers: ['2'], digits: 3},
  {method: 'lu-solve', menu: '方程组', text: '2 -1 3 9\n4 1 -2 -1\n1 5 2 17', answers: ['3']},
  {method: 'cholesky', menu: '方程组', text: '4 2 -2 6\n2 5 1 9\n-2 1 6 3', answers: ['3']},
  {method: 'ldlt', menu: '方程组', text: '4 2 -2 6\n2 5 1 9\n-2 1 6 3', answers: ['3'], digits: 9},
  {method: 'tridiagonal', menu: '方程组', text: '2 -1 0 0 1\n-1 2 -1 0 0\n0 -1 2 -1 0\n0 0 -1 2 1',
   answers: ['4']},
  {method: 'condition', menu: '方程组', text: GENERAL, answers: ['3']},
  // The orthogonal transformations: a complex pair found by the QR method,
  // the QR decompositions, a dependent column, least squares and a fit.
  {method: 'qr-eigenvalues', text: '0 -2 0 1\n2 0 0 1\n0 0 3 1\n1 2 3 4',
   answers: ['4', '1e-10', '400']},
  {method: 'householder-qr', menu: '矩阵', text: '2 -2 18\n2 1 0\n1 2 0', answers: ['3', '3']},
  {method: 'givens-qr', menu: '矩阵', text: '2 -2 18\n2 1 0\n1 2 0', answers: ['3', '2'],
   digits: 9},
  {method: 'gram-schmidt', menu: '矩阵', text: '1 2 1\n1 2 0\n0 0 1', answers: ['3', '3']},
  {method: 'least-squares', menu: '矩阵', text: '1 0 1\n1 1 3\n1 2 4\n1 3 4', answers: ['4', '2']},
  {method: 'curve-fit', menu: '矩阵', text: '0 1.1\n1 1.9\n2 3.2\n3 4.8\n4 7.1\n5 9.9',
   answers: ['6', '2']},
];

for (const run of RUNS) {
  const label = `${run.method} ${JSON.stringify(run.answers)}${run.replies ? ' ' + run.replies : ''}`;
  test(`${label} shows and saves the runner's trace`, async ({page}) => {
    const seen = watch(page);
    const expected = runNative(run);
    await openPage(page);
    if (run.digits) await setDigits(page, String(run.digits));
    await editPane(page).fill(run.text);
    await choose(page, run.menu ?? '求解', catalogCaption(run.method));
    await answerBoxes(page, expected.boxes);
    await expect(page.locator('body.busy')).toHaveCount(0);
    expect(await resultText(page)).toBe(expected.stdout.toString('utf8'));
    const saved = await saveAs(page);
    expect(saved.equals(expected.stdout)).toBe(true);
    expect(seen.errors).toEqual([]);
  });
}

test('a cancelled order leaves both panes as they were', async ({page}) => {
  await openPage(page);
  await editPane(page).fill(TRIDIAGONAL);
  await choose(page, '求解', '古典雅可比法');
  await answerBoxes(page, runNative({method: 'jacobi', text: TRIDIAGONAL, answers: ['3', '0.001']})
      .boxes);
  // The trace arrives once the command has ended.
  await expect(page.locator('body.busy')).toHaveCount(0);
  const before = await resultText(page);
  expect(before.length).toBeGreaterThan(0);
  for (const caption of ['幂法', '列主元求行列式', '矩阵范数']) {
    await choose(page, '求解', caption);
    await expect(page.getByRole('dialog')).toBeVisible();
    await page.keyboard.press('Escape');
    await expect(page.getByRole('dialog')).toHaveCount(0);
    expect(await resultText(page)).toBe(before);
    await expect(editPane(page)).toHaveValue(TRIDIAGONAL);
  }
});
