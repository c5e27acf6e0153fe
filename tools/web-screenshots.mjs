// Takes the README's screenshots of the page: the Jacobi method on the
// bundled example, on a wide screen and on a phone.
//   tools/web.sh --build-only && node tools/web-screenshots.mjs
import {chromium} from '@playwright/test';
import {spawn} from 'node:child_process';
import {readFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const port = 8767;
const server = spawn('node', [join(root, 'src', 'web', 'serve.mjs'), join(root, 'build', 'web', 'site'),
                              String(port)], {stdio: 'ignore'});
await new Promise((resolve) => setTimeout(resolve, 500));
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--no-first-run'],
});
const example = readFileSync(join(root, 'resources', 'examples', 'symmetric3.txt'), 'utf8');

async function shoot(viewport, file, deviceScaleFactor) {
  const page = await browser.newPage({viewport, deviceScaleFactor});
  await page.goto(`http://127.0.0.1:${port}/`);
  await page.waitForSelector('body.ready', {state: 'attached'});
  await page.getByRole('textbox', {name: '编辑区'}).fill(example.trim());
  await page.getByRole('menubar').getByRole('menuitem', {name: /^求解\(/}).click();
  await page.getByRole('menu').getByRole('menuitem', {name: '古典雅可比法', exact: true}).click();
  await page.getByRole('dialog').getByRole('textbox').fill('3');
  await page.keyboard.press('Enter');
  await page.getByRole('dialog').getByRole('textbox').fill('0.0001');
  await page.keyboard.press('Enter');
  await page.waitForSelector('body:not(.busy)');
  await page.getByRole('textbox', {name: '结果区'}).evaluate((node) => { node.scrollTop = 0; });
  await page.screenshot({path: join(root, 'docs', file)});
  await page.close();
}

try {
  await shoot({width: 1100, height: 640}, 'page-wide.png', 1);
  await shoot({width: 390, height: 844}, 'page-phone.png', 1);
} finally {
  await browser.close();
  server.kill();
}
