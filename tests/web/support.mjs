// What the page tests share: the native runner as the reference, and ways
// to drive the page as a user does.
import {expect} from '@playwright/test';
import {spawnSync} from 'node:child_process';
import {existsSync, readFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');

export function findRunner() {
  const candidates = [process.env.MATCALC_CLI, join(root, 'build', 'release', 'src', 'matcalc-cli'),
                      join(root, 'build', 'native', 'src', 'matcalc-cli')];
  const found = candidates.find((path) => path && existsSync(path));
  if (!found) throw new Error('no native matcalc-cli: set MATCALC_CLI or run tools/web-test.sh');
  return found;
}

// The edit pane's text as the page hands it to the core: CR LF breaks.
export function crlf(text) {
  return text.replace(/\r?\n/g, '\r\n');
}

// One box as the runner reports it on standard error.
function parseBox(line) {
  const fields = line.split('\t');
  const lines = (text) => text.replaceAll('\\n', '\n');
  if (fields[0] === 'input') {
    return {kind: 'input', title: fields[1], text: lines(fields[2]), defaultText: fields[3],
            answer: fields[4] === '(cancel)' ? null : fields[4]};
  }
  return {kind: 'message', title: fields[1], text: lines(fields[2]), buttons: fields[3],
          reply: fields[4]};
}

// Runs the native runner on `text` (LF breaks, given to it as CR LF).
export function runNative({method, text, answers = [], replies = [], digits = 6, exact = false}) {
  const args = ['--digits', String(digits)];
  if (exact) args.push('--exact');
  for (const answer of answers) args.push('--answer', answer);
  for (const reply of replies) args.push('--reply', reply);
  args.push(method);
  const run = spawnSync(findRunner(), args, {input: Buffer.from(crlf(text), 'utf8'),
                                            maxBuffer: 1 << 30});
  if (run.status !== 0) throw new Error(`matcalc-cli failed: ${run.stderr}`);
  const boxes = run.stderr.toString('utf8').split('\n').filter((line) => line.length > 0)
      .map(parseBox);
  return {stdout: run.stdout, boxes};
}

export function catalogCaption(method) {
  const captions = Object.fromEntries(
      spawnSync(findRunner(), ['--list']).stdout.toString('utf8').trim().split('\n')
          .map((line) => line.split('\t')));
  return captions[method];
}

export const PROGRAM_TITLE = '矩阵计算器';

export async function openPage(page) {
  await page.goto('/');
  await expect(page.locator('body.ready')).toBeAttached();
}

export function editPane(page) {
  return page.getByRole('textbox', {name: '编辑区'});
}

export function resultPane(page) {
  return page.getByRole('textbox', {name: '结果区'});
}

// Picks `item` from the menu whose caption starts with `menu`.
export async function choose(page, menu, item) {
  await page.getByRole('menubar').getByRole('menuitem', {name: new RegExp(`^${menu}\\(`)}).click();
  await page.getByRole('menu').getByRole('menuitem', {name: item, exact: true}).click();
}

// A pane's whole text with CR LF breaks, however the page shows it.
export async function resultText(page) {
  return crlf(await page.evaluate(() => window.matcalcPage.text2()));
}

export async function editText(page) {
  return crlf(await page.evaluate(() => window.matcalcPage.text1()));
}

// Answers the boxes the page shows as the runner answered them, checking
// each box against the runner's: title, text, default, buttons and focus.
export async function answerBoxes(page, boxes) {
  for (const box of boxes) {
    const dialog = page.getByRole('dialog', {name: box.title || PROGRAM_TITLE});
    await expect(dialog).toBeVisible();
    // Boxes in a row may share their title: wait for this one to go.
    const id = await dialog.getAttribute('aria-labelledby');
    await expect(dialog.locator('.box-prompt')).toHaveText(box.text, {useInnerText: true});
    if (box.kind === 'input') {
      const input = dialog.getByRole('textbox');
      await expect(input).toHaveValue(box.defaultText);
      await expect(input).toBeFocused();
      // The default text is selected, so typing replaces it.
      expect(await input.evaluate((node) => [node.selectionStart, node.selectionEnd]))
          .toEqual([0, box.defaultText.length]);
      await expect(dialog.getByRole('button')).toHaveText(['确定', '取消']);
      if (box.answer === null) {
        await page.keyboard.press('Escape');
      } else {
        await input.fill(box.answer);
        await page.keyboard.press('Enter');
      }
    } else if (box.buttons === 'ok') {
      await expect(dialog.getByRole('button')).toHaveText(['确定']);
      await expect(dialog.getByRole('button', {name: '确定'})).toBeFocused();
      await page.keyboard.press('Enter');
    } else {
      await expect(dialog.getByRole('button')).toHaveText(['是', '否']);
      await dialog.getByRole('button', {name: box.reply === 'yes' ? '是' : '否'}).click();
    }
    await expect(page.locator(`dialog[aria-labelledby="${id}"]`)).toHaveCount(0);
  }
}

export async function setDigits(page, answer) {
  await choose(page, '显示', '设置小数数位');
  const dialog = page.getByRole('dialog', {name: '设置小数数位'});
  const input = dialog.getByRole('textbox');
  const shown = await input.inputValue();
  if (answer === null) {
    await page.keyboard.press('Escape');
  } else {
    await input.fill(answer);
    await page.keyboard.press('Enter');
  }
  await expect(dialog).toBeHidden();
  // The answer is kept once the core has read it: wait for that before the
  // caller reloads or opens the prompt again.
  await expect(page.locator('body.busy')).toHaveCount(0);
  return shown;
}

// Saves the result pane with 另存为 and returns the downloaded bytes.
export async function saveAs(page, name = 'trace.txt') {
  await choose(page, '文件', '另存为');
  const dialog = page.getByRole('dialog', {name: '另存为'});
  await dialog.getByRole('textbox').fill(name);
  const [download] = await Promise.all([page.waitForEvent('download'),
                                        page.keyboard.press('Enter')]);
  expect(download.suggestedFilename()).toBe(name);
  return readFileSync(await download.path());
}

// Opens a file through the file chooser of 打开.
export async function openFile(page, name, buffer) {
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'),
                                       choose(page, '文件', '打开')]);
  await chooser.setFiles({name, mimeType: 'text/plain', buffer});
}

// Collects script errors and requests the page makes.
export function watch(page) {
  const seen = {errors: [], requests: []};
  page.on('pageerror', (error) => seen.errors.push(String(error)));
  page.on('console', (message) => {
    if (message.type() === 'error') seen.errors.push(message.text());
  });
  page.on('request', (request) => seen.requests.push(request.url()));
  return seen;
}

// A symmetric, strictly dominant matrix of order n with six-digit entries:
// long Jacobi runs for the tests that need a command to take a while.
export function symmetric(n) {
  const rows = [];
  for (let i = 1; i <= n; ++i) {
    const row = [];
    for (let j = 1; j <= n; ++j) row.push(i === j ? 2 * n : 1 / (i + j));
    rows.push(row.map((value) => value.toPrecision(6)).join(' '));
  }
  return rows.join('\n');
}
