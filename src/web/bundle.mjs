// Joins the page's modules (site/js) into one file at build time, so that a
// cold load asks for one script instead of one a module. Each module keeps
// its own scope (a function around it) and gets what it imports from the
// modules run before it; the modules are plain ES modules in the source and
// in tests. Only the forms the page uses are understood: named imports from
// "./NAME.js" and exported declarations or `export {a as b}`; anything else
// stops the build.
import {readFileSync} from 'node:fs';
import {join} from 'node:path';

const IMPORT = /^import\s*\{([^}]*)\}\s*from\s*'\.\/([\w-]+)\.js';[ \t]*$/gm;
// A plain script run for what it sets (the line breaks' globalThis.matcalcLines).
const RUN = /^import\s*'\.\/([\w-]+)\.js';[ \t]*$/gm;
const DECLARED = /^export\s+((?:async\s+)?function\*?|class|const|let)\s+([\w$]+)/gm;
const RENAMED = /^export\s*\{([^}]*)\};[ \t]*$/gm;

function names(list) {
  return list.split(',').map((part) => part.trim()).filter(Boolean)
      .map((part) => part.split(/\s+as\s+/));
}

export function bundle(folder, entry) {
  const modules = new Map();
  const order = [];
  const visit = (name, path) => {
    if (modules.has(name)) {
      if (!order.includes(name)) throw new Error(`bundle: ${name} imports itself in a cycle`);
      return;
    }
    let source = readFileSync(join(folder, `${name}.js`), 'utf8');
    const imports = [];
    source = source.replace(IMPORT, (whole, list, from) => {
      imports.push([list, from]);
      return '';
    });
    source = source.replace(RUN, (whole, from) => {
      imports.push(['', from]);
      return '';
    });
    const exported = [];
    source = source.replace(DECLARED, (whole, kind, exportName) => {
      exported.push([exportName, exportName]);
      return `${kind} ${exportName}`;
    });
    source = source.replace(RENAMED, (whole, list) => {
      for (const [local, outside] of names(list)) exported.push([outside || local, local]);
      return '';
    });
    if (/^\s*(import|export)\b/m.test(source)) {
      throw new Error(`bundle: ${name}.js has an import or export it cannot join`);
    }
    modules.set(name, {source, imports, exported});
    for (const [, from] of imports) visit(from, [...path, name]);
    order.push(name);
  };
  visit(entry, []);
  const variable = (name) => `module$${name.replace(/-/g, '_')}`;
  const parts = [];
  for (const name of order) {
    const {source, imports, exported} = modules.get(name);
    const bindings = imports.filter(([list]) => list !== '').map(([list, from]) => {
      const fields = names(list).map(([outside, local]) =>
        local && local !== outside ? `${outside}: ${local}` : outside);
      return `const {${fields.join(', ')}} = ${variable(from)};\n`;
    }).join('');
    const returned = exported.map(([outside, local]) =>
      outside === local ? outside : `${outside}: ${local}`).join(', ');
    parts.push(`// ---- ${name}.js\nconst ${variable(name)} = (() => {\n${bindings}${source}\n` +
               `return {${returned}};\n})();\n`);
  }
  return parts.join('\n');
}
