// Measures, side by side in one run, what a box costs once a command has done
// its work: the page in headless Chromium and the native runner.
//   - 古典雅可比法 of order 200 with eps 0, answered 是 at its give-up question;
//   - 雅可比迭代法 of order 500 with every x0 box answered.
// For each: on the page, the time from the last answer to the finished trace,
// the core's own time after that answer (the worker measures it) and where
// the rest went (the copy of the trace out of the core, the message to the
// page, laying out what is in sight); for the runner (--progress writes each
// box's line as it is answered), the time from the last box's line to its
// end, the work after that box. And how many times the page ran the command
// from its start and how many times the command took the edit pane's text.
// Run: tools/web.sh --build-only, then node bench/resume.mjs [MATCALC_CLI]
import {chromium} from '@playwright/test';
import {spawn} from 'node:child_process';
import {existsSync} from 'node:fs';
import {loadavg} from 'node:os';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';

import {symmetric} from '../tests/web/support.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const site = join(root, 'build', 'web', 'site');
const runner = process.argv[2] || process.env.MATCALC_CLI ||
    [join(root, 'build', 'release', 'src', 'matcalc-cli'),
     join(root, 'build', 'native', 'src', 'matcalc-cli')].find((path) => existsSync(path));
const port = 8767;
const url = `http://127.0.0.1:${port}/`;

function system(n) {
  const rows = [];
  for (let i = 1; i <= n; ++i) {
    const row = [];
    for (let j = 1; j <= n; ++j) row.push(i === j ? 4 * n : (i + j) % 7 - 3);
    row.push(i % 11);
    rows.push(row.join(' '));
  }
  return rows.join('\n');
}

// The runner with --progress: milliseconds from the last box's line on
// standard error to the end of the run.
function runnerAfterLastBox(method, text, answers, replies) {
  const args = ['--progress'];
  for (const answer of answers) args.push('--answer', answer);
  for (const reply of replies) args.push('--reply', reply);
  args.push(method);
  return new Promise((resolve, reject) => {
    // The trace goes to /dev/null: the time is the runner's, not a pipe's.
    const child = spawn(runner, args, {stdio: ['pipe', 'ignore', 'pipe']});
    let lastBox = null;
    let pending = '';
    child.stderr.on('data', (chunk) => {
      pending += chunk.toString('utf8');
      const lines = pending.split('\n');
      pending = lines.pop();
      for (const line of lines) {
        if (line.startsWith('input\t') || line.startsWith('message\t')) {
          lastBox = process.hrtime.bigint();
        }
      }
    });
    child.on('error', reject);
    child.on('close', (code) => {
      const end = process.hrtime.bigint();
      if (code !== 0 || lastBox === null) reject(new Error(`matcalc-cli ended with ${code}`));
      else resolve(Number(end - lastBox) / 1e6);
    });
    child.stdin.end(text.replace(/\n/g, '\r\n'));
  });
}

async function menu(page, top, item) {
  await page.getByRole('menubar').getByRole('menuitem', {name: new RegExp(`^${top}\\(`)}).click();
  await page.getByRole('menu').getByRole('menuitem', {name: item, exact: true}).click();
}

async function answerInput(page, text) {
  const box = page.getByRole('dialog').last();
  await box.waitFor();
  // The budgets scale by the device's measured speed: under load the page
  // may refuse an order the runner takes.
  if (await box.getByRole('textbox').count() === 0) {
    throw new Error(`the page said: ${await box.innerText()} (work scale ` +
                    `${await page.evaluate(() => document.documentElement.dataset.workScale)})`);
  }
  await box.getByRole('textbox').fill(text);
  // The box goes once the worker has taken the answer and moved on.
  const id = await box.getAttribute('aria-labelledby');
  await page.keyboard.press('Enter');
  await page.waitForSelector(`dialog[aria-labelledby="${id}"]`, {state: 'detached'});
}

// Times the page from the last answer (`last`, which answers it) to the
// frame that shows the finished trace, both as the page sees them: the
// answer's event, and the frame after the page has laid the trace out (it
// sets data-last-runs once it has). The driver's round trips are not the
// page's.
async function pageAfterLastAnswer(page, last) {
  await page.evaluate(() => {
    const times = {answered: null, shown: null};
    window.benchTimes = times;
    const answered = (event) => {
      times.answered ??= event.timeStamp;
    };
    document.addEventListener('keydown', answered, {capture: true, once: true});
    document.addEventListener('click', answered, {capture: true, once: true});
    new MutationObserver((records, observer) => {
      observer.disconnect();
      requestAnimationFrame(() => {
        times.shown = performance.now();
      });
    }).observe(document.body, {attributes: true, attributeFilter: ['data-last-runs']});
  });
  await last();
  await page.waitForFunction(() => window.benchTimes.shown !== null, null, {timeout: 600_000});
  const {answered, shown} = await page.evaluate(() => window.benchTimes);
  const data = await page.evaluate(() => ({...document.body.dataset}));
  return {latencyMs: shown - answered, coreMs: data.lastRunMs, copyMs: data.lastCopyMs,
          postMs: data.lastPostMs, applyMs: data.lastApplyMs, runs: data.lastRuns,
          textLooks: data.lastTextLooks,
          traceChars: await page.evaluate(() => window.matcalcPage.text2().length)};
}

function report(name, runnerMs, page) {
  console.log(`${name}:\n` +
              `  runner, last box -> end (the work after that box): ${runnerMs.toFixed(0)} ms\n` +
              `  page, last answer -> trace shown: ${page.latencyMs.toFixed(0)} ms ` +
              `(the core after the answer ${page.coreMs} ms; then the trace's copy out of ` +
              `the core ${page.copyMs} ms, the message ${page.postMs} ms, laying it out ` +
              `${page.applyMs} ms)\n` +
              `  page beyond the runner's work: ${(page.latencyMs - runnerMs).toFixed(0)} ms ` +
              `(beyond the page's own core: ${(page.latencyMs - page.coreMs).toFixed(0)} ms)\n` +
              `  the trace: ${(page.traceChars / 1e6).toFixed(1)} million characters\n` +
              `  runs of the command in the page: ${page.runs}; ` +
              `the command took the edit pane's text ${page.textLooks} times`);
}

const server = spawn('node', [join(root, 'src', 'web', 'serve.mjs'), site, String(port)],
                     {stdio: 'ignore'});
await new Promise((resolve) => setTimeout(resolve, 500));
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--no-first-run'],
});
console.log(`load average at start: ${loadavg().map((x) => x.toFixed(2)).join(' ')}`);
try {
  const context = await browser.newContext();
  const page = await context.newPage();
  page.setDefaultTimeout(600_000);
  await page.goto(url);
  await page.waitForSelector('body.ready', {state: 'attached'});

  {
    const text = symmetric(200);
    const runnerMs = await runnerAfterLastBox('jacobi', text, ['200', '0'], ['yes']);
    await page.getByRole('textbox', {name: '编辑区'}).fill(text);
    await menu(page, '求解', '古典雅可比法');
    await answerInput(page, '200');
    await answerInput(page, '0');
    const question = page.getByRole('dialog', {name: '警告'});
    await question.waitFor();
    const measured = await pageAfterLastAnswer(
        page, () => question.getByRole('button', {name: '是'}).click());
    report('古典雅可比法, order 200, eps 0, 是 at the give-up question', runnerMs, measured);
  }
  {
    const n = 500;
    const text = system(n);
    const x0 = Array.from({length: n}, (_, i) => String(i % 3));
    const runnerMs = await runnerAfterLastBox('jacobi-iteration', text,
                                              [String(n), '1e-9', '20', ...x0], []);
    await page.getByRole('textbox', {name: '编辑区'}).fill(text);
    await menu(page, '方程组', '雅可比迭代法');
    for (const answer of [String(n), '1e-9', '20', ...x0.slice(0, -1)]) {
      await answerInput(page, answer);
    }
    const box = page.getByRole('dialog').last();
    await box.getByRole('textbox').fill(x0[n - 1]);
    const measured = await pageAfterLastAnswer(page, () => page.keyboard.press('Enter'));
    report(`雅可比迭代法, order ${n}, every x0 box answered`, runnerMs, measured);
  }
  await context.close();
  console.log(`load average at the end: ${loadavg().map((x) => x.toFixed(2)).join(' ')}`);
} finally {
  await browser.close();
  server.kill();
}
