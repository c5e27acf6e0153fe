// What the site's build does to the page's files: the modules joined into
// one script that keeps each module's scope and names, and the headers a
// path is served with.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {mkdtempSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import vm from 'node:vm';
import {bundle} from '../../../src/web/bundle.mjs';
import {headersFor, hostHeaderFiles} from '../../../src/web/headers.mjs';

function withModules(files, work) {
  const folder = mkdtempSync(join(tmpdir(), 'matcalc-bundle-'));
  try {
    for (const [name, text] of Object.entries(files)) writeFileSync(join(folder, name), text);
    return work(folder);
  } finally {
    rmSync(folder, {recursive: true, force: true});
  }
}

test('modules keep their scopes, renamed imports and exports, and run in order', () => {
  const joined = withModules({
    'main.js': "import {twice as double, NAME} from './a.js';\nimport './plain.js';\n" +
               "const local = 'main';\nglobalThis.result = [double(21), NAME, local, " +
               'globalThis.plain];\n',
    'a.js': "import {base} from './b.js';\nconst local = 'a';\n" +
            'export function twice(x) {\n  return base * x / local.length;\n}\n' +
            "export const NAME = 'a';\n",
    'b.js': 'const value = 2;\nexport {value as base};\n',
    'plain.js': "globalThis.plain = 'plain';\n",
  }, (folder) => bundle(folder, 'main'));
  const context = {};
  context.globalThis = context;
  vm.runInNewContext(joined, context);
  assert.deepEqual([...context.result], [42, 'a', 'main', 'plain']);
});

test('a form the join does not know stops the build', () => {
  for (const source of ["import * as all from './b.js';\n", "export default 1;\n",
                        "import b from './b.js';\n"]) {
    assert.throws(() => withModules({'main.js': source, 'b.js': 'export const b = 1;\n'},
                                    (folder) => bundle(folder, 'main')), /bundle/);
  }
});

test('the page is framed by no site; the version folder is kept for good', () => {
  const page = headersFor('/index.html');
  assert.match(page['Content-Security-Policy'], /frame-ancestors 'none'/);
  assert.equal(page['Cache-Control'], 'no-cache');
  assert.equal(page['X-Content-Type-Options'], 'nosniff');
  assert.equal(page['Referrer-Policy'], 'no-referrer');
  const kept = headersFor('/v/0123456789abcdef/help/index.html');
  assert.match(kept['Content-Security-Policy'], /frame-ancestors 'self'/);
  assert.match(kept['Cache-Control'], /immutable/);
  const files = hostHeaderFiles();
  for (const name of ['_headers', '.htaccess', 'vercel.json', 'v/.htaccess']) {
    assert.ok(files[name].includes('nosniff'), name);
  }
  JSON.parse(files['vercel.json']);
});
