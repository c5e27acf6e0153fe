// Reads the edit pane's text as the commands would, off the page's thread
// and apart from the commands' worker: the hints while typing. Only the
// newest text waiting counts; older ones are dropped. The marks come at
// offsets in the pane's characters, where a line break counts once.
'use strict';
if (typeof createMatcalc !== 'function') importScripts('matcalc.js', 'js/lines.js');

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

function read(data) {
  const bytes = encoder.encode(self.matcalcLines.toCrLf(data.text));
  const pointer = core._malloc(bytes.length + 1);
  if (!pointer) {
    postMessage({id: data.id, hints: null});
    return;
  }
  core.HEAPU8.set(bytes, pointer);
  const hints = JSON.parse(core.UTF8ToString(core._mc_hints(pointer, bytes.length)));
  core._free(pointer);
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
