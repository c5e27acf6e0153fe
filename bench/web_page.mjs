// Measures the page in headless Chromium on this machine:
//   - the time from a cold load (fresh profile, no cache, no service worker)
//     to the page being interactive (menus built from the loaded core);
//   - Jacobi of order 60 with eps 0 (about 18 MB of trace): the time from the
//     last answer (是 to the question) to the whole trace shown, beside the
//     native runner's time for the same run;
//   - the cost of waiting for answers by replaying: the run time of the last
//     of 200 initial-vector prompts of the power method against the first;
//   - 停止: the time from the click to the next command's first box;
//   - the size of the site, raw and compressed as a static host serves it;
//   - a cold load under the browser's "Fast 3G" throttling: the requests and
//     bytes the server sent (the service worker's included), and the time to
//     usable menus;
//   - after a trace of about 196 MB (Jacobi of order 200, eps 0), whether a
//     3 × 3 command runs, and the page's script heap;
//   - the largest order each method accepts in the page beside the runner's
//     (bench/page_orders.py, when build/bench has matcalc-estimate).
// Run: tools/web.sh --build-only, then node bench/web_page.mjs [MATCALC_CLI]
import {chromium} from '@playwright/test';
import {spawn, spawnSync} from 'node:child_process';
import {existsSync, readFileSync, readdirSync, statSync} from 'node:fs';
import {loadavg} from 'node:os';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {brotliCompressSync, constants, gzipSync} from 'node:zlib';

import {symmetric} from '../tests/web/support.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const site = join(root, 'build', 'web', 'site');
const runner = process.argv[2] || process.env.MATCALC_CLI ||
    [join(root, 'build', 'release', 'src', 'matcalc-cli'),
     join(root, 'build', 'native', 'src', 'matcalc-cli')].find((path) => existsSync(path));
const port = 8766;
const url = `http://127.0.0.1:${port}/`;
const args = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
              '--disable-component-update', '--disable-sync', '--no-first-run'];

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

async function ready(page) {
  await page.goto(url);
  await page.waitForSelector('body.ready', {state: 'attached'});
}

async function menu(page, top, item) {
  await page.getByRole('menubar').getByRole('menuitem', {name: new RegExp(`^${top}\\(`)}).click();
  await page.getByRole('menu').getByRole('menuitem', {name: item, exact: true}).click();
}

async function answer(page, text) {
  const box = page.getByRole('dialog').last();
  await box.getByRole('textbox').fill(text);
  await page.keyboard.press('Enter');
}

const served = [];
const server = spawn('node', [join(root, 'src', 'web', 'serve.mjs'), site, String(port)],
                     {stdio: ['ignore', 'pipe', 'ignore'],
                      env: {...process.env, MATCALC_SERVE_LOG: '1'}});
server.stdout.on('data', (chunk) => {
  for (const line of String(chunk).split('\n')) {
    if (line.startsWith('GET ')) served.push(line.split(' '));
  }
});
await new Promise((resolve) => setTimeout(resolve, 500));
const browser = await chromium.launch({executablePath: '/usr/bin/chromium', args});
console.log(`load average at start: ${loadavg().map((x) => x.toFixed(2)).join(' ')}`);

try {
  // Cold loads, each in a fresh context.
  const loads = [];
  for (let i = 0; i < 5; ++i) {
    const context = await browser.newContext();
    const page = await context.newPage();
    await ready(page);
    loads.push(Number(await page.evaluate(() => document.body.dataset.readyMs)));
    await context.close();
  }
  console.log(`cold load to interactive: median ${median(loads)} ms (runs: ${loads.join(', ')})`);

  // A cold load under Fast 3G (562.5 ms latency, 1.44 Mbit/s down, 675 kbit/s
  // up, as the browser's tools name it), counted at the server until the
  // service worker has kept the site.
  {
    const context = await browser.newContext();
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions', {
      offline: false, latency: 562.5, downloadThroughput: 1.44e6 / 8,
      uploadThroughput: 675e3 / 8,
    });
    served.length = 0;
    await ready(page);
    // The menus are in the page's HTML (shown at its first paint) and work
    // once its script has run; the calculator computes once the module is in.
    const [painted, menusMs, coreMs] = await page.evaluate(() => [
      performance.getEntriesByName('first-contentful-paint')[0]?.startTime ?? NaN,
      Number(document.body.dataset.menusMs), Number(document.body.dataset.readyMs)]);
    await page.evaluate(async () => {
      await navigator.serviceWorker.ready;
    });
    await page.waitForTimeout(2000);
    const bytes = served.reduce((sum, [, , , length]) => sum + Number(length || 0), 0);
    const wasm = served.filter(([, path]) => path.endsWith('/matcalc.wasm')).length;
    console.log(`cold load, Fast 3G: ${served.length} requests, ${(bytes / 1024).toFixed(0)} KiB ` +
                `sent (bodies, service worker's included; matcalc.wasm fetched ${wasm}×); ` +
                `menus shown at ${painted.toFixed(0)} ms (first paint), usable at ${menusMs} ms, ` +
                `the calculator started at ${coreMs} ms`);
    await context.close();
  }

  // Jacobi, order 60, eps 0.
  const text = symmetric(60);
  const started = process.hrtime.bigint();
  const native = spawnSync(runner, ['--answer', '60', '--answer', '0', '--reply', 'yes', 'jacobi'],
                           {input: text.replace(/\n/g, '\r\n'), maxBuffer: 1 << 30});
  const nativeMs = Number(process.hrtime.bigint() - started) / 1e6;
  const context = await browser.newContext();
  const page = await context.newPage();
  await ready(page);
  const shown = [];
  const beforeQuestion = [];
  for (let run = 0; run < 3; ++run) {
    await page.getByRole('textbox', {name: '编辑区'}).fill(text);
    await menu(page, '求解', '古典雅可比法');
    await answer(page, '60');
    const box = page.getByRole('dialog').last();
    await box.getByRole('textbox').fill('0');
    const t0 = Date.now();
    await page.keyboard.press('Enter');
    await page.getByRole('dialog', {name: '警告'}).waitFor();
    beforeQuestion.push(Date.now() - t0);
    shown.push(await page.evaluate(async () => {
      const yes = [...document.querySelectorAll('dialog button')].find((b) => b.textContent === '是');
      const t = performance.now();
      yes.click();
      while (document.body.classList.contains('busy')) {
        await new Promise((resolve) => setTimeout(resolve, 5));
      }
      await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
      return performance.now() - t;
    }));
    const length = await page.evaluate(() => new TextEncoder().encode(
        window.matcalcPage.text2().replace(/\r?\n/g, '\r\n')).length);
    if (length !== native.stdout.length) throw new Error(`trace ${length} != ${native.stdout.length}`);
  }
  const worker = Number(await page.evaluate(() => document.body.dataset.lastRunMs));
  console.log(`jacobi n=60 eps=0: trace ${(native.stdout.length / 1e6).toFixed(1)} MB; ` +
              `是 -> trace shown: median ${median(shown).toFixed(0)} ms ` +
              `(runs: ${shown.map((x) => x.toFixed(0)).join(', ')}); ` +
              `of which the replayed command in the worker ${worker} ms; ` +
              `last eps answer -> question with the trace behind it: median ${median(beforeQuestion)} ms; ` +
              `native runner, whole run: ${nativeMs.toFixed(0)} ms`);

  // Replaying: 200 initial-vector prompts of the power method.
  await page.getByRole('textbox', {name: '编辑区'}).fill('');
  await menu(page, '文件', '新建');
  await page.getByRole('textbox', {name: '编辑区'}).fill(symmetric(200));
  await menu(page, '求解', '幂法');
  await answer(page, '200');
  await answer(page, '0.0001');
  const perPrompt = [];
  for (let i = 0; i < 200; ++i) {
    const t0 = Date.now();
    await answer(page, '1');
    if (i < 199) await page.getByRole('dialog').last().waitFor();
    perPrompt.push(Date.now() - t0);
  }
  await page.waitForSelector('body:not(.busy)');
  console.log(`power n=200, 200 initial-vector prompts by replay: first answer -> next box ` +
              `${perPrompt[0]} ms, last ${perPrompt[198]} ms, median ${median(perPrompt)} ms`);

  // Stop: from the click to the next command's first box.
  await menu(page, '文件', '新建');
  await page.evaluate(() => {
    // A dense matrix of order 700, near the largest the budgets accept.
    let seed = 1;
    const rows = [];
    for (let i = 0; i < 700; ++i) {
      const row = [];
      for (let j = 0; j < 700; ++j) {
        seed = (seed * 16807) % 2147483647;
        row.push((seed % 1000) / 100);
      }
      rows.push(row.join(' '));
    }
    document.getElementById('text1').value = rows.join('\n');
  });
  await menu(page, '求解', '列主元求行列式');
  await answer(page, '700');
  await page.waitForFunction(() => !document.getElementById('stop').hidden, null,
                             {polling: 'raf'});
  const stopMs = await page.evaluate(async () => {
    const t = performance.now();
    document.getElementById('stop').click();
    while (document.body.classList.contains('busy')) {
      await new Promise((resolve) => setTimeout(resolve, 1));
    }
    return performance.now() - t;
  });
  const t0 = Date.now();
  await menu(page, '求解', '列主元求行列式');
  await page.getByRole('dialog').waitFor();
  console.log(`停止: panes restored ${stopMs.toFixed(0)} ms after the click; ` +
              `next command's first box ${Date.now() - t0} ms after that`);
  await context.close();

  // After a long trace: a 3 × 3 command, and what the page holds.
  {
    const context = await browser.newContext();
    const page = await context.newPage();
    await ready(page);
    await page.getByRole('textbox', {name: '编辑区'}).fill(symmetric(200));
    await menu(page, '求解', '古典雅可比法');
    await answer(page, '200');
    await answer(page, '0');
    await page.getByRole('dialog').last().getByRole('button', {name: '是'}).click();
    await page.waitForSelector('body:not(.busy)', {timeout: 300_000});
    const cdp = await context.newCDPSession(page);
    await cdp.send('HeapProfiler.collectGarbage');
    const heap = await cdp.send('Runtime.getHeapUsage');
    // The pane keeps the trace's bytes (outside the script heap) and decodes
    // only the lines in sight.
    const chars = await page.evaluate(() => window.matcalcPage.text2().length);
    await page.getByRole('textbox', {name: '编辑区'}).fill('2 -1 3\n4 1 -2\n1 5 2');
    await menu(page, '求解', '列主元求行列式');
    await answer(page, '3');
    await page.waitForSelector('body:not(.busy)');
    const after = await page.evaluate(() => window.matcalcPage.text2());
    console.log(`after jacobi n=200 eps=0 (${(chars / 1e6).toFixed(0)} M characters in the ` +
                `result pane; page script heap ${(heap.usedSize / 2 ** 20).toFixed(0)} MiB): ` +
                `a 3 × 3 determinant ` +
                `${after.includes('阶数太大') ? 'is refused' : `runs (${after.length} characters)`}`);
    await context.close();
  }

  // Size of the site.
  const files = [];
  const walk = (folder) => {
    for (const name of readdirSync(folder)) {
      const path = join(folder, name);
      if (statSync(path).isDirectory()) walk(path);
      else if (!/\.(br|gz)$/.test(name)) files.push(path);
    }
  };
  walk(site);
  let raw = 0;
  let gzip = 0;
  let brotli = 0;
  for (const path of files) {
    const bytes = readFileSync(path);
    raw += bytes.length;
    gzip += gzipSync(bytes, {level: 9}).length;
    brotli += brotliCompressSync(bytes, {params: {[constants.BROTLI_PARAM_QUALITY]: 11}}).length;
  }
  const wasm = readFileSync(files.find((path) => path.endsWith('matcalc.wasm')));
  console.log(`site: ${files.length} files, ${(raw / 1024).toFixed(0)} KiB raw, ` +
              `${(gzip / 1024).toFixed(0)} KiB gzip, ${(brotli / 1024).toFixed(0)} KiB brotli ` +
              `(matcalc.wasm ${(wasm.length / 1024).toFixed(0)} KiB, ` +
              `${(gzipSync(wasm, {level: 9}).length / 1024).toFixed(0)} KiB gzip)`);
  const orders = spawnSync('python3', [join(root, 'bench', 'page_orders.py')],
                           {env: {MATCALC_BUILD: join(root, 'build', 'bench'), ...process.env}});
  if (orders.status === 0) {
    console.log(`largest accepted orders (budget estimates):\n${orders.stdout}`);
  } else {
    console.log('largest accepted orders: build matcalc-estimate (cmake --preset bench) first');
  }
  console.log(`load average at end: ${loadavg().map((x) => x.toFixed(2)).join(' ')}`);
} finally {
  await browser.close();
  server.kill();
}
