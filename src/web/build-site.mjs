// Assembles the static site: the page's files, the WebAssembly module, the
// manual and the icon, and a service worker that lists them all.
//   node src/web/build-site.mjs MODULE_DIR OUT_DIR
//
// Everything but the entry points lies in a folder named by the build's
// version (v/VERSION/), a hash of every file's content: a host may keep those
// files for good (they never change under their name), and a tab only ever
// loads the files of the version it started with. The entry points (the
// page, the service worker, the manifest and the icons) keep their names and
// are checked on every visit. Every text file also comes compressed (.br and
// .gz beside it) for servers that send what the browser accepts, and the
// headers a host should send come as ready files for the common hosts.
import {createHash} from 'node:crypto';
import {cpSync, mkdirSync, readFileSync, readdirSync, renameSync, rmSync, statSync,
        writeFileSync} from 'node:fs';
import {dirname, extname, join, relative, resolve, sep} from 'node:path';
import {createRequire} from 'node:module';
import {fileURLToPath} from 'node:url';
import {brotliCompressSync, constants, gzipSync} from 'node:zlib';
import {bundle} from './bundle.mjs';
import {hostHeaderFiles} from './headers.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const root = join(here, '..', '..');
const [moduleDir, out] = process.argv.slice(2);
if (!moduleDir || !out) {
  console.error('usage: node build-site.mjs MODULE_DIR OUT_DIR');
  process.exit(2);
}

// The files that keep their names at the site's root.
const ENTRY_POINTS = ['index.html', 'sw.js', 'manifest.webmanifest', 'icons'];
const COMPRESSED = new Set(['.html', '.js', '.css', '.wasm', '.svg', '.webmanifest', '.json']);

function walk(folder) {
  return readdirSync(folder).flatMap((name) => {
    const path = join(folder, name);
    return statSync(path).isDirectory() ? walk(path) : [path];
  });
}

function relativePaths(folder) {
  return walk(folder).map((path) => relative(folder, path).split(sep).join('/')).sort();
}

rmSync(out, {recursive: true, force: true});
const staging = join(out, 'staging');
mkdirSync(staging, {recursive: true});
cpSync(join(here, 'site'), staging, {recursive: true});
for (const name of ['matcalc.js', 'matcalc.wasm']) {
  cpSync(join(moduleDir, name), join(staging, name));
}
cpSync(join(root, 'resources', 'Help'), join(staging, 'help'), {recursive: true});
cpSync(join(root, 'resources', 'icons', 'matcalc.svg'), join(staging, 'icons', 'matcalc.svg'));
// The about page shows the project's version, written by CMake beside the module.
const projectVersion = readFileSync(join(moduleDir, 'version.txt'), 'utf8').trim();
const about = join(staging, 'about.html');
writeFileSync(about, readFileSync(about, 'utf8').replaceAll('@MATCALC_VERSION@', projectVersion));

// The catalog the core gives, for the page to show its menus at once.
const core = await createRequire(import.meta.url)(resolve(moduleDir, 'matcalc.js'))({
  instantiateWasm(imports, done) {
    WebAssembly.instantiate(readFileSync(join(moduleDir, 'matcalc.wasm')), imports)
        .then(({instance, module}) => done(instance, module));
    return {};
  },
});
const catalog = JSON.parse(core.UTF8ToString(core._mc_catalog()));
// The examples' texts go into the page with it: no request when one is
// chosen, and there before the core has loaded.
const examples = Object.fromEntries(Object.entries(catalog.examples).map(([item, path]) =>
  [item, readFileSync(join(root, 'resources', path), 'utf8')]));
writeFileSync(join(staging, 'js', 'built-catalog.js'),
              `// Written by the build from the core's catalog.\nexport const CATALOG = ` +
              `${JSON.stringify(catalog)};\nexport const EXAMPLES = ${JSON.stringify(examples)};\n`);

// The menubar's heads and the toolbar in the page's HTML, from the same
// catalog, so that they show before any script has come (the script builds
// them again, working).
function escapeHtml(text) {
  return text.replace(/[&<>"]/g, (c) => ({'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'})[c]);
}
function captionHtml(caption) {
  const at = caption.indexOf('&');
  if (at < 0 || at + 1 >= caption.length) return escapeHtml(caption);
  return `${escapeHtml(caption.slice(0, at))}<u>${escapeHtml(caption[at + 1])}</u>` +
         escapeHtml(caption.slice(at + 2));
}
const heads = catalog.menus.map((menu, index) =>
  `<div class="menu"><button type="button" class="menu-head" role="menuitem" ` +
  `aria-haspopup="menu" aria-expanded="false" tabindex="${index === 0 ? 0 : -1}">` +
  `${captionHtml(menu.caption)}</button></div>`).join('');
const rule = '<span class="toolbar-separator" role="separator"></span>';
const tools = catalog.toolbar.map((key) =>
  (catalog.toolbarGroupStarts.includes(key) ? rule : '') +
  `<button type="button" class="tool" data-key="${escapeHtml(key)}">${escapeHtml(key)}</button>`)
    .join('');
{
  const path = join(staging, 'index.html');
  const html = readFileSync(path, 'utf8')
      .replace(/(<nav id="menubar"[^>]*>)(<\/nav>)/, `$1${heads}$2`)
      .replace(/(<div id="toolbar"[^>]*>)(<\/div>)/, `$1${tools}$2`);
  if (!html.includes(heads) || !html.includes(tools)) throw new Error('index.html: no menubar');
  writeFileSync(path, html);
}

// One script and one style sheet for the page: its modules joined, its
// style sheets one after the other in the order it links them.
const scripts = join(staging, 'js');
const joined = bundle(scripts, 'main');
// The line breaks stay a file of their own as well: the workers load it.
for (const name of readdirSync(scripts)) {
  if (name !== 'lines.js') rmSync(join(scripts, name));
}
writeFileSync(join(scripts, 'main.js'), joined);
let entry = readFileSync(join(staging, 'index.html'), 'utf8');
const sheets = [...entry.matchAll(/<link rel="stylesheet" href="([\w-]+\.css)">\n/g)];
writeFileSync(join(staging, sheets[0][1]), sheets.map(([, name]) =>
  readFileSync(join(staging, name), 'utf8')).join('\n'));
for (const [line, name] of sheets.slice(1)) {
  entry = entry.replace(line, '');
  rmSync(join(staging, name));
}
writeFileSync(join(staging, 'index.html'), entry);

const hash = createHash('sha256');
for (const path of relativePaths(staging)) {
  hash.update(path).update(readFileSync(join(staging, path)));
}
const version = hash.digest('hex').slice(0, 16);
const base = `v/${version}`;

// The entry points go to the root, the rest under the version's folder.
for (const name of ENTRY_POINTS) renameSync(join(staging, name), join(out, name));
mkdirSync(join(out, 'v'));
renameSync(staging, join(out, base));

// The page names its style sheets and its first module under the version's
// folder; the service worker knows the version and what to keep.
const page = readFileSync(join(out, 'index.html'), 'utf8')
    .replace(/(href|src)="((?:js\/)?[a-z-]+\.(?:css|js))"/g, `$1="${base}/$2"`);
writeFileSync(join(out, 'index.html'), page);
const kept = ['./', 'manifest.webmanifest',
              ...relativePaths(join(out, 'icons')).map((path) => `icons/${path}`),
              ...relativePaths(join(out, base)).map((path) => `${base}/${path}`)];
const worker = readFileSync(join(out, 'sw.js'), 'utf8').replace('@VERSION@', version)
    .replace('@FILES@', JSON.stringify(kept, null, 2));
writeFileSync(join(out, 'sw.js'), worker);

let compressed = 0;
for (const path of relativePaths(out)) {
  if (!COMPRESSED.has(extname(path))) continue;
  const bytes = readFileSync(join(out, path));
  const brotli = brotliCompressSync(bytes, {params: {
    [constants.BROTLI_PARAM_QUALITY]: constants.BROTLI_MAX_QUALITY,
    [constants.BROTLI_PARAM_SIZE_HINT]: bytes.length,
  }});
  const gzip = gzipSync(bytes, {level: 9});
  // Only where compressing pays.
  if (brotli.length < bytes.length) writeFileSync(join(out, `${path}.br`), brotli);
  if (gzip.length < bytes.length) writeFileSync(join(out, `${path}.gz`), gzip);
  compressed += brotli.length;
}
for (const [name, text] of Object.entries(hostHeaderFiles())) {
  writeFileSync(join(out, name), text);
}

console.log(`site: ${out} (${kept.length} files kept offline, version ${version}, ` +
            `${(compressed / 1024).toFixed(0)} KiB compressed)`);
