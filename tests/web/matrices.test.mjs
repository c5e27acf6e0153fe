// The matrix menu in the page: its boxes offer the shape the text shows, and
// each command writes the runner's bytes.
import {test, expect} from '@playwright/test';
import {answerBoxes, catalogCaption, choose, editPane, openPage, resultText,
        runNative} from './support.mjs';

test('the matrix menu writes what the runner writes', async ({page}) => {
  await openPage(page);
  const system = '1 1 -3 -1 1\n3 -1 -3 4 4\n1 5 -9 -8 0';
  for (const job of [
    {method: 'general-solution', text: system, answers: ['3', '4']},
    {method: 'rref', text: system, answers: ['3', '5'], digits: 6},
    {method: 'inverse-by-rows', text: '1 2 3\n2 5 2\n3 1 5', answers: ['3']},
    {method: 'determinant-by-rows', text: '0 1 2\n1 0 3\n4 -3 8', answers: ['3']},
  ]) {
    const expected = runNative(job);
    await editPane(page).fill(job.text);
    await choose(page, '矩阵', catalogCaption(job.method));
    // The boxes are checked against the runner's, their defaults included.
    await answerBoxes(page, expected.boxes);
    await expect(page.locator('body.busy')).toHaveCount(0);
    expect(await resultText(page)).toBe(expected.stdout.toString('utf8'));
  }
});
