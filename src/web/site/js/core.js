// The core for the page's workers: the WebAssembly module fetched and
// compiled once and handed to every worker, and the workers made from the
// text of their scripts as this version of the page loaded them, so that a
// worker started again (after 停止) runs the same files even when a newer
// version of the site has come meanwhile.

// A file of this version of the site (the folder above this module).
export function asset(path) {
  return new URL(`../${path}`, import.meta.url).href;
}

let compiled = null;
const scripts = new Map();

export function coreModule() {
  if (compiled === null) {
    compiled = (async () => {
      const response = await fetch(asset('matcalc.wasm'));
      if (!response.ok) throw new Error(`matcalc.wasm: ${response.status}`);
      try {
        return await WebAssembly.compileStreaming(response.clone());
      } catch {
        // A host that sends the module under another type.
        return WebAssembly.compile(await response.arrayBuffer());
      }
    })();
  }
  return compiled;
}

async function text(path) {
  const response = await fetch(asset(path));
  if (!response.ok) throw new Error(`${path}: ${response.status}`);
  return response.text();
}

let glue = null;

// The worker script `path` with what it imports before it (the module's
// glue and the line breaks), as a URL.
function scriptUrl(path) {
  if (!scripts.has(path)) {
    glue ||= Promise.all([text('matcalc.js'), text('js/lines.js')]);
    scripts.set(path, Promise.all([glue, text(path)]).then(([[core, lines], script]) =>
      URL.createObjectURL(new Blob([core, '\n', lines, '\n', script],
                                   {type: 'text/javascript'}))));
  }
  return scripts.get(path);
}

// A worker running `path` on the shared module. Messages posted before it
// has started wait for it; `onmessage` gets {type: 'broken'} when the files
// could not be had.
export class CoreWorker {
  constructor(path) {
    this.queue = [];
    this.worker = null;
    this.ended = false;
    this.onmessage = null;
    this.onerror = null;
    Promise.all([scriptUrl(path), coreModule()]).then(([url, module]) => {
      if (this.ended) return;
      const worker = new Worker(url);
      worker.onmessage = (event) => this.onmessage?.(event);
      worker.onerror = (event) => this.onerror?.(event);
      worker.postMessage({type: 'core', module});
      for (const [message, transfer] of this.queue) worker.postMessage(message, transfer);
      this.queue = [];
      this.worker = worker;
    }, (error) => {
      if (!this.ended) this.onmessage?.({data: {type: 'broken', reason: String(error)}});
    });
  }

  postMessage(message, transfer = []) {
    if (this.worker) this.worker.postMessage(message, transfer);
    else this.queue.push([message, transfer]);
  }

  terminate() {
    this.ended = true;
    this.worker?.terminate();
  }
}
