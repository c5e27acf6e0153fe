// How the page is downloaded and updated: the module once per cold load,
// the files compressed, a newer version offered by the status line and
// never mixed into an open tab.
import {test, expect} from '@playwright/test';
import {spawn} from 'node:child_process';
import {cpSync, mkdtempSync, readFileSync, readdirSync, renameSync, rmSync, writeFileSync}
  from 'node:fs';
import {tmpdir} from 'node:os';
import {dirname, join} from 'node:path';
import {createServer} from 'node:net';
import {fileURLToPath} from 'node:url';
import {catalogCaption, choose, editPane, resultText, runNative, symmetric} from './support.mjs';

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
  await new Promise((resolve, reject) => {
    // A server that cannot listen ends at once: say so rather than wait.
    server.on('exit', (code) => reject(new Error(`serve.mjs ended (${code}) on port ${port}`)));
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
    // A server already stopped (a test that failed on its way to the next
    // one) stops at once, so the failure is reported rather than a hang.
    stop: () => new Promise((resolve) => {
      if (server.exitCode !== null || server.signalCode !== null) {
        resolve();
        return;
      }
      server.on('exit', resolve);
      server.kill();
    }),
  };
}

// A port no server holds now (the system's choice), kept by the test for the
// second build too: fixed ports would meet another checkout's run.
async function freePort() {
  const probe = createServer();
  await new Promise((resolve) => probe.listen(0, '127.0.0.1', resolve));
  const {port} = probe.address();
  await new Promise((resolve) => probe.close(resolve));
  return port;
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
  const port = await freePort();
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
      // The second version's finished texts read "B".
      const marked = text.replace('message[key] = takeText();',
                                  "message[key] = status === 1 ? takeText() : " +
                                  "new TextEncoder().encode('B');");
      if (marked === text) throw new Error('the worker no longer reads its texts as expected');
      text = marked;
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
  const port = await freePort();
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
    // The passes run before the give-up question: the notice is looked at,
    // and 停止 pressed, in the one task that sees the button, so the command
    // cannot end in between.
    const handle = await page.waitForFunction(() => {
      const stop = document.getElementById('stop');
      if (stop.hidden) return null;
      const offered = document.getElementById('update').checkVisibility();
      stop.click();
      return {offered};
    }, null, {polling: 'raf', timeout: 60_000});
    expect((await handle.jsonValue()).offered).toBe(false);
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

// Deploys the second build in place of the first on `port`, and has `pages`
// see the offer.
async function deploySecond(server, folder, port, pages) {
  await server.stop();
  const next = await serve(secondBuild(folder), port);
  for (const page of pages) {
    await page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
    await expect(page.locator('#update')).toBeVisible();
  }
  return next;
}

// Clicks 重新载入 and waits until the new document is ready.
async function reloadIntoNext(page) {
  await page.evaluate(() => { window.beforeReload = true; });
  await page.locator('#update').getByRole('button', {name: '重新载入'}).click();
  await expect.poll(() => page.evaluate(() => window.beforeReload === undefined &&
                                              document.body.classList.contains('ready'))
      .catch(() => false), {timeout: 10_000}).toBe(true);
}

test('each tab reloads with its own panes, and a new tab gets none of them',
     async ({page, context}, testInfo) => {
  test.setTimeout(120_000);
  const folder = mkdtempSync(join(tmpdir(), 'matcalc-sites-'));
  const port = await freePort();
  const url = `http://127.0.0.1:${port}/`;
  let server = await serve(builtSite, port);
  try {
    const a = page;
    await openAndKeep(a, url);
    const b = await context.newPage();
    await openAndKeep(b, url);
    await editPane(a).fill('1 2 3  # tab A');
    await editPane(b).fill('9 9 9  # tab B');
    server = await deploySecond(server, folder, port, [a, b]);

    await reloadIntoNext(a);
    await expect.poll(() => a.evaluate(() => window.matcalcPage.text1())).toBe('1 2 3  # tab A');
    // The version has changed under B meanwhile: its 重新载入 still reloads.
    await reloadIntoNext(b);
    await expect.poll(() => b.evaluate(() => window.matcalcPage.text1())).toBe('9 9 9  # tab B');
    await choose(b, '求解', '向量范数');
    await expect.poll(() => resultText(b)).toBe('B');

    const c = await context.newPage();
    await c.goto(url);
    await expect(c.locator('body.ready')).toBeAttached();
    // Whatever C was to be given has come by the time it offers drafts.
    await c.waitForFunction(() => document.body.dataset.draftsOffered === '1');
    await expect(c.locator('#draft')).toBeHidden();
    expect(await c.evaluate(() => window.matcalcPage.text1())).toBe('');
  } finally {
    await server.stop();
    rmSync(folder, {recursive: true, force: true});
  }
});

test('a reload with a trace too long for one stored value keeps it in parts',
     async ({page}, testInfo) => {
  test.setTimeout(300_000);
  const folder = mkdtempSync(join(tmpdir(), 'matcalc-sites-'));
  const port = await freePort();
  const url = `http://127.0.0.1:${port}/`;
  let server = await serve(builtSite, port);
  try {
    await openAndKeep(page, url);
    // Jacobi of order 200 with eps 0: about 196 MB of trace.
    const text = symmetric(200);
    await editPane(page).fill(text);
    await choose(page, '求解', catalogCaption('jacobi'));
    for (const answer of ['200', '0']) {
      await page.getByRole('dialog').last().getByRole('textbox').fill(answer);
      await page.keyboard.press('Enter');
    }
    await page.getByRole('dialog').last().getByRole('button', {name: '是'}).click();
    await expect(page.locator('body.busy')).toHaveCount(0, {timeout: 200_000});
    const digest = () => page.evaluate(async () => {
      const bytes = new TextEncoder().encode(window.matcalcPage.text2());
      const hash = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
      return [bytes.length, [...hash].map((b) => b.toString(16).padStart(2, '0')).join('')];
    });
    const before = await digest();
    expect(before[0]).toBeGreaterThan(150_000_000);

    server = await deploySecond(server, folder, port, [page]);
    await page.evaluate(() => { window.beforeReload = true; });
    await page.locator('#update').getByRole('button', {name: '重新载入'}).click();
    await expect.poll(() => page.evaluate(() => window.beforeReload === undefined &&
                                                document.body.classList.contains('ready'))
        .catch(() => false), {timeout: 60_000}).toBe(true);
    await expect.poll(() => page.evaluate(() => window.matcalcPage.text1()),
                      {timeout: 60_000}).toBe(text);
    await expect.poll(digest, {timeout: 60_000}).toEqual(before);
  } finally {
    await server.stop();
    rmSync(folder, {recursive: true, force: true});
  }
});

test('a trace the browser has no room for is left out with a line saying so; the edit pane ' +
     'is kept', async ({page}, testInfo) => {
  test.setTimeout(120_000);
  const folder = mkdtempSync(join(tmpdir(), 'matcalc-sites-'));
  const port = await freePort();
  const url = `http://127.0.0.1:${port}/`;
  let server = await serve(builtSite, port);
  // Storage that refuses the result pane's parts, as a full disk does.
  await page.addInitScript(() => {
    const put = IDBObjectStore.prototype.put;
    IDBObjectStore.prototype.put = function (value, key) {
      if (Array.isArray(key) && key[0] === 'kept' && key[2] === 'text2') {
        throw new DOMException('no room', 'QuotaExceededError');
      }
      return put.call(this, value, key);
    };
  });
  try {
    await openAndKeep(page, url);
    const text = '3 -4 12';
    await editPane(page).fill(text);
    await choose(page, '求解', '向量范数');
    await expect.poll(() => resultText(page)).toBe(
        runNative({method: 'vector-norms', text}).stdout.toString('utf8'));
    server = await deploySecond(server, folder, port, [page]);
    await reloadIntoNext(page);
    await expect.poll(() => page.evaluate(() => window.matcalcPage.text1())).toBe(text);
    await expect.poll(() => resultText(page))
        .toBe('（浏览器的存储空间不够，重新载入时没有保留结果区的内容。）');
  } finally {
    await server.stop();
    rmSync(folder, {recursive: true, force: true});
  }
});
