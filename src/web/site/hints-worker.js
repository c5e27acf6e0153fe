// Reads the edit pane's text as the commands would, off the page's thread
// and apart from the commands' worker: the hints while typing. Only the
// newest text waiting counts; older ones are dropped.
'use strict';
if (typeof createMatcalc !== 'function') importScripts('matcalc.js');

// The module comes compiled from the page, shared with its other worker.
function boot(module) {
  return createMatcalc({
    instantiateWasm(imports, done) {
      WebAssembly.instantiate(module, imports).then((instance) => done(instance, module));
      return {};
    },
  });
}

let core = null;
let waiting = null;
const encoder = new TextEncoder();

// The core's byte offsets (UTF-8, CR LF) as indexes into the pane's text,
// where a line break is one character "\n". The marks come in text order.
function toIndexes(text, marks) {
  const bytes = marks.flatMap(([begin, end]) => [begin, end]);
  const indexes = new Array(bytes.length);
  let byte = 0;
  let index = 0;
  let next = 0;
  while (next < bytes.length) {
    if (bytes[next] <= byte || index >= text.length) {
      indexes[next++] = index;
      continue;
    }
    const code = text.codePointAt(index);
    byte += code === 0x0a ? 2 : code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    index += code > 0xffff ? 2 : 1;
  }
  return marks.map(([, , tip], m) => [indexes[2 * m], indexes[2 * m + 1], tip]);
}

function read(data) {
  const bytes = encoder.encode(data.text.replace(/\r\n|\r|\n/g, '\r\n'));
  const pointer = core._malloc(bytes.length + 1);
  if (!pointer) {
    postMessage({id: data.id, hints: null});
    return;
  }
  core.HEAPU8.set(bytes, pointer);
  const hints = JSON.parse(core.UTF8ToString(core._mc_hints(pointer, bytes.length)));
  core._free(pointer);
  hints.marks = toIndexes(data.text.replace(/\r\n|\r/g, '\n'), hints.marks);
  postMessage({id: data.id, hints});
}

onmessage = (event) => {
  if (event.data.type === 'core') {
    start(event.data.module);
    return;
  }
  if (core === null) {
    waiting = event.data;
    return;
  }
  try {
    read(event.data);
  } catch {
    postMessage({id: event.data.id, hints: null});
  }
};

const start = (compiled) => boot(compiled).then((module) => {
  core = module;
  if (waiting !== null) read(waiting);
  waiting = null;
});
