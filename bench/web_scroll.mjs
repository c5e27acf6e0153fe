// Wheel scrolling in the page's view of a long trace, in headless Chromium:
// the trace of Jacobi with eps 0 (order 200 by default: about 196 MB) is
// computed in the page, then the result pane is scrolled by the wheel, down
// and then across and back, while the page records the time between its
// frames. Prints the median, the 95th percentile and the frames over 50 ms.
//   tools/web.sh --build-only, then
//   node bench/web_scroll.mjs [--order N] [--site DIR] [--steps N]
import {chromium} from '@playwright/test';
import {spawn} from 'node:child_process';
import {loadavg} from 'node:os';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {parseArgs} from 'node:util';

import {symmetric} from '../tests/web/support.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const {values: options} = parseArgs({options: {
  order: {type: 'string', default: '200'},
  site: {type: 'string', default: join(root, 'build', 'web', 'site')},
  steps: {type: 'string', default: '300'},
  port: {type: 'string', default: '8767'},
}});
const order = Number(options.order);
const steps = Number(options.steps);
const url = `http://127.0.0.1:${options.port}/`;

function percentile(values, share) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(share * sorted.length))];
}

async function answer(page, text) {
  const box = page.getByRole('dialog').last();
  await box.getByRole('textbox').fill(text);
  await page.keyboard.press('Enter');
}

// Frame times in the page while `scroll` runs.
async function frames(page, scroll) {
  await page.evaluate(() => {
    window.frameTimes = [];
    window.framing = true;
    let last = performance.now();
    const tick = (now) => {
      window.frameTimes.push(now - last);
      last = now;
      if (window.framing) requestAnimationFrame(tick);
    };
    requestAnimationFrame(tick);
  });
  await scroll();
  return page.evaluate(() => {
    window.framing = false;
    return window.frameTimes.slice(1);
  });
}

const server = spawn('node', [join(root, 'src', 'web', 'serve.mjs'), options.site, options.port],
                     {stdio: 'ignore'});
await new Promise((resolve) => setTimeout(resolve, 500));
const browser = await chromium.launch({
  executablePath: process.env.MATCALC_CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--no-first-run'],
});
try {
  console.log(`load average at start: ${loadavg().map((x) => x.toFixed(2)).join(' ')}`);
  const page = await browser.newPage({viewport: {width: 1280, height: 800}});
  await page.goto(url);
  await page.waitForSelector('body.ready', {state: 'attached'});
  await page.getByRole('textbox', {name: '编辑区'}).fill(symmetric(order));
  await page.getByRole('menubar').getByRole('menuitem', {name: /^求解\(/}).click();
  await page.getByRole('menu').getByRole('menuitem', {name: '古典雅可比法', exact: true}).click();
  await answer(page, String(order));
  await answer(page, '0');
  await page.getByRole('dialog').last().getByRole('button', {name: '是'}).click();
  await page.waitForSelector('body:not(.busy)', {timeout: 600_000});
  const characters = await page.evaluate(() => window.matcalcPage.text2().length);
  const view = page.locator('#text2-view');
  await view.waitFor();
  const box = await view.boundingBox();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.waitForTimeout(500);
  const down = await frames(page, async () => {
    for (let i = 0; i < steps; ++i) await page.mouse.wheel(0, 100);
  });
  const reached = await view.evaluate((node) => node.scrollTop);
  const across = await frames(page, async () => {
    for (let i = 0; i < steps / 2; ++i) await page.mouse.wheel(100, 0);
    for (let i = 0; i < steps / 2; ++i) await page.mouse.wheel(-100, 0);
  });
  for (const [name, times] of [['down', down], ['across', across]]) {
    console.log(`order ${order} (${(characters / 1e6).toFixed(1)} M characters), wheel ${name}: ` +
                `${times.length} frames, median ${percentile(times, 0.5).toFixed(1)} ms, ` +
                `p95 ${percentile(times, 0.95).toFixed(1)} ms, ` +
                `${times.filter((t) => t > 50).length} over 50 ms`);
  }
  console.log(`scrolled down ${reached} px of ${steps * 100}`);
  console.log(`load average at end: ${loadavg().map((x) => x.toFixed(2)).join(' ')}`);
} finally {
  await browser.close();
  server.kill();
}
