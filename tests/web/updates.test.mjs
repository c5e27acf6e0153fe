// How the page is downloaded and updated: the module once per cold load,
// the files compressed, a newer version offered by the status line and
// never mixed into an open tab.
import {test, expect} from '@playwright/test';
import {spawn} from 'node:child_process';
import {cpSync, mkdtempSync, readFileSync, readdirSync, renameSync, rmSync, writeFileSync}
  from 'node:fs';
import {tmpdir} from 'node:os';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {choose, editPane, resultText, runNative, symmetric} from './support.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const builtSite = process.env.MATCALC_SITE || join(root, 'build', 'web', 'site');

// serve.mjs on `port`, logging its requests.
async function serve(site, port) {
  const server = spawn(process.execPath, [join(root, 'src', 'web', 'serve.mjs'), site,
                                          String(port)],
                       {env: {...process.env, MATCALC_SERVE_LOG: '1'},
                        stdio: ['ignore', 'pipe', 'inherit']});
  const lines = [];
  let buffered = '';
  await new Promise((resolve) => {
    server.stdout.on('data', (chunk) => {
      buffered += chunk;
      const parts = buffered.split('\n');
      buffered = parts.pop();
      for (const line of parts) {
        if (line.startsWith('MatCalc:')) resolve();
        else lines.push(line);
      }
    });
  });
  return {
    requests: () => lines.map((line) => line.split(' ')),
    stop: () => new Promise((resolve) => {
      server.on('exit', resolve);
      server.kill();
    }),
  };
}

function portFor(testInfo, offset) {
  return 8840 + 10 * testInfo.workerIndex + offset;
}

async function openAndKeep(page, url) {
  await page.goto(url);
  await expect(page.locator('body.ready')).toBeAttached();
  // The service worker has kept the site and controls the tab.
  await page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    if (!navigator.serviceWorker.controller) {
      await new Promise((resolve) => {
        navigator.serviceWorker.addEventListener('controllerchange', resolve, {once: true});
      });
    }
  });
}

test('a cold load fetches every file once, the module compressed', async ({page}, testInfo) => {
  const port = portFor(testInfo, 0);
  const server = await serve(builtSite, port);
  try {
    await openAndKeep(page, `http://127.0.0.1:${port}/`);
    const requests = server.requests();
    const paths = requests.map(([, path]) => path);
    expect(paths.filter((path) => path.endsWith('/matcalc.wasm'))).toHaveLength(1);
    // Nothing twice: the service worker keeps what the page fetched.
    expect(paths.length).toBe(new Set(paths).size);
    const wasm = requests.find(([, path]) => path.endsWith('/matcalc.wasm'));
    expect(wasm[2]).toBe('br');
  } finally {
    await server.stop();
  }
});

// A second build of the site: another version whose commands write "B".
function secondBuild(folder) {
  const site = join(folder, 'b');
  cpSync(builtSite, site, {recursive: true});
  const [first] = readdirSync(join(site, 'v')).filter((name) => !name.startsWith('.'));
  const second = 'b'.repeat(first.length);
  renameSync(join(site, 'v', first), join(site, 'v', second));
  for (const name of ['index.html', 'sw.js', `v/${second}/worker.js`]) {
    let text = readFileSync(join(site, name), 'utf8').replaceAll(first, second);
    if (name.endsWith('worker.js')) {
      text = text.replace('message.text = readText();',
                          "message.text = new TextEncoder().encode('B');");
    }
    writeFileSync(join(site, name), text);
    rmSync(join(site, `${name}.br`), {force: true});
    rmSync(join(site, `${name}.gz`), {force: true});
  }
  return site;
}

test('a newer version is offered, never mixed in, and the panes survive the reload',
     async ({page}, testInfo) => {
  test.setTimeout(180_000);
  const folder = mkdtempSync(join(tmpdir(), 'matcalc-sites-'));
  const port = portFor(testInfo, 1);
  const url = `http://127.0.0.1:${port}/`;
  let server = await serve(builtSite, port);
  try {
    await openAndKeep(page, url);
    const text = '3 -4 12';
    const norms = runNative({method: 'vector-norms', text}).stdout.toString('utf8');
    await editPane(page).fill(text);
    await choose(page, '求解', '向量范数');
    await expect.poll(() => resultText(page)).toBe(norms);

    await server.stop();
    server = await serve(secondBuild(folder), port);
    await page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
    const notice = page.locator('#update');
    await expect(notice).toBeVisible();
    await expect(notice).toContainText('新版本');

    // 停止 starts the worker again: still this tab's version. No offer
    // while a command runs.
    await editPane(page).fill(symmetric(200));
    await choose(page, '求解', '古典雅可比法');
    for (const answer of ['200', '0']) {
      await page.getByRole('dialog').last().getByRole('textbox').fill(answer);
      await page.keyboard.press('Enter');
    }
    await page.getByRole('dialog').last().getByRole('button', {name: '是'}).click();
    await expect(page.locator('#stop')).toBeVisible();
    await expect(notice).toBeHidden();
    await page.locator('#stop').click();
    await expect(page.locator('body.busy')).toHaveCount(0);
    await expect(notice).toBeVisible();
    await editPane(page).fill(text);
    await choose(page, '求解', '向量范数');
    await expect.poll(() => resultText(page)).toBe(norms);

    // A mark on this document: gone once the new one has loaded. Waiting for
    // the load event after the click would miss a load that came first.
    await page.evaluate(() => { window.beforeReload = true; });
    await notice.getByRole('button', {name: '重新载入'}).click();
    await expect.poll(() => page.evaluate(() => window.beforeReload === undefined &&
                                                document.body.classList.contains('ready'))
        .catch(() => false)).toBe(true);
    await expect.poll(() => page.evaluate(() => window.matcalcPage.text1())).toBe(text);
    await expect.poll(() => resultText(page)).toBe(norms);
    await choose(page, '求解', '向量范数');
    await expect.poll(() => resultText(page)).toBe('B');
  } finally {
    await server.stop();
    rmSync(folder, {recursive: true, force: true});
  }
});
