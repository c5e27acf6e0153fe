// Browser tests of the page, in Debian's Chromium (no browser download).
import {defineConfig} from '@playwright/test';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const port = Number(process.env.MATCALC_WEB_TEST_PORT || 8765);
const site = process.env.MATCALC_SITE || join(root, 'build', 'web', 'site');

export default defineConfig({
  testDir: '.',
  timeout: 60_000,
  expect: {timeout: 15_000},
  workers: Number(process.env.MATCALC_WEB_TEST_WORKERS || 2),
  reporter: [['list']],
  use: {
    baseURL: `http://127.0.0.1:${port}/`,
    acceptDownloads: true,
    launchOptions: {
      executablePath: process.env.MATCALC_CHROMIUM || '/usr/bin/chromium',
      args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
             '--disable-component-update', '--disable-sync', '--no-first-run',
             '--disable-dev-shm-usage'],
    },
  },
  webServer: {
    command: `node ${join(root, 'src', 'web', 'serve.mjs')} ${site} ${port}`,
    url: `http://127.0.0.1:${port}/`,
    reuseExistingServer: false,
    timeout: 20_000,
  },
});
