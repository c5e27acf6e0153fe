// Assembles the static site: the page's files, the WebAssembly module, the
// manual and the icon, and a service worker that lists them all.
//   node src/web/build-site.mjs MODULE_DIR OUT_DIR
import {createHash} from 'node:crypto';
import {cpSync, mkdirSync, readFileSync, readdirSync, rmSync, statSync, writeFileSync}
  from 'node:fs';
import {dirname, join, relative, sep} from 'node:path';
import {fileURLToPath} from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const root = join(here, '..', '..');
const [moduleDir, out] = process.argv.slice(2);
if (!moduleDir || !out) {
  console.error('usage: node build-site.mjs MODULE_DIR OUT_DIR');
  process.exit(2);
}

rmSync(out, {recursive: true, force: true});
mkdirSync(out, {recursive: true});
cpSync(join(here, 'site'), out, {recursive: true});
for (const name of ['matcalc.js', 'matcalc.wasm']) cpSync(join(moduleDir, name), join(out, name));
cpSync(join(root, 'resources', 'Help'), join(out, 'help'), {recursive: true});
cpSync(join(root, 'resources', 'icons', 'matcalc.svg'), join(out, 'icons', 'matcalc.svg'));
// The about page shows the project's version, written by CMake beside the module.
const projectVersion = readFileSync(join(moduleDir, 'version.txt'), 'utf8').trim();
const about = join(out, 'about.html');
writeFileSync(about, readFileSync(about, 'utf8').replaceAll('@MATCALC_VERSION@', projectVersion));

function walk(folder) {
  return readdirSync(folder).flatMap((name) => {
    const path = join(folder, name);
    return statSync(path).isDirectory() ? walk(path) : [path];
  });
}

const files = walk(out).map((path) => relative(out, path).split(sep).join('/'))
    .filter((path) => path !== 'sw.js').sort();
const hash = createHash('sha256');
for (const path of files) hash.update(path).update(readFileSync(join(out, path)));
const version = hash.digest('hex').slice(0, 16);
const template = readFileSync(join(out, 'sw.js'), 'utf8');
writeFileSync(join(out, 'sw.js'), template.replace('@VERSION@', version)
    .replace('@FILES@', JSON.stringify(['./', ...files], null, 2)));
console.log(`site: ${out} (${files.length + 1} files, version ${version})`);
