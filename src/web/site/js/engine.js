// The page's side of the worker: starts jobs, shows their boxes through
// `ask`, and stops a job by ending the worker and starting a fresh one (a
// job's result is applied only when it has finished, so the panes are as
// they were).
import {CoreWorker} from './core.js';

export class Engine {
  constructor({ask, onProgress, onReady, onBroken}) {
    this.ask = ask;            // async (box, delta) => answer
    this.onProgress = onProgress;  // (percent) as the running job computes
    this.onReady = onReady;    // (catalog) once, when the first worker is ready
    this.onBroken = onBroken;  // (reason) the module could not be loaded
    this.nextId = 1;
    this.current = null;       // {id, resolve, reject}
    this.ready = null;
    this.start();
  }

  start() {
    this.worker = new CoreWorker('worker.js');
    this.ready = new Promise((resolve) => {
      this.resolveReady = resolve;
    });
    this.worker.onmessage = (event) => this.receive(event.data);
    // A worker started after a stop takes the device's speed as measured.
    if (this.workScale !== undefined) {
      this.worker.postMessage({type: 'work-scale', workScale: this.workScale});
    }
    this.worker.onerror = (event) => {
      event.preventDefault();
      this.fail('worker error');
    };
  }

  receive(data) {
    if (data.type === 'ready') {
      if (this.workScale === undefined) {
        this.workScale = data.workScale;
        // For the tests: how much slower than the development machine.
        document.documentElement.dataset.workScale = String(data.workScale);
      }
      this.resolveReady();
      if (this.onReady) {
        this.onReady(data.catalog);
        this.onReady = null;
      }
      return;
    }
    if (data.type === 'broken') {
      if (this.onBroken) this.onBroken(data.reason);
      return;
    }
    const current = this.current;
    if (!current || data.id !== current.id) return;
    if (data.type === 'progress') {
      if (this.onProgress) this.onProgress(data.percent);
    } else if (data.type === 'ask') {
      // What the command did to the result pane before the box, if anything.
      const delta = data.pane ? {cleared: data.cleared === 1, bytes: data.pane} : null;
      Promise.resolve(this.ask(data.box, delta)).then((answer) => {
        if (this.current !== current) return;
        this.worker.postMessage({type: 'answer', id: current.id, answer});
      });
    } else if (data.type === 'done') {
      this.current = null;
      const receivedAt = performance.timeOrigin + performance.now();
      current.resolve({
        showsText: data.showsText === 1,
        cleared: data.cleared === 1,
        digits: data.digits,
        // The text as the core wrote it (UTF-8, CR LF), decoded when asked;
        // for a command, what it wrote since its last box.
        bytes: data.text || new Uint8Array(0),
        get text() {
          return new TextDecoder().decode(this.bytes);
        },
        series: data.series ? JSON.parse(data.series) : null,
        chart: data.chart ? JSON.parse(data.chart) : null,
        elapsed: data.elapsed,
        runs: data.runs,
        textLooks: data.textLooks,
        // For the benchmark: the copy out of the core and the way here.
        copyMs: data.copyMs,
        postMs: receivedAt - data.postedAt,
      });
    } else if (data.type === 'failed') {
      this.fail(data.reason || 'failed');
    } else if (data.type === 'solve-enabled') {
      this.current = null;
      current.resolve(data.enabled);
    }
  }

  fail(reason) {
    const current = this.current;
    this.current = null;
    // A worker whose module trapped is not used again.
    this.worker.terminate();
    this.start();
    if (current) current.reject(new Error(reason));
  }

  get busy() {
    return this.current !== null;
  }

  // Runs one job; resolves with its outcome, or with null when stopped.
  run(message, transfer = []) {
    if (this.current) return Promise.reject(new Error('busy'));
    const id = this.nextId++;
    return new Promise((resolve, reject) => {
      this.current = {id, resolve, reject};
      this.worker.postMessage({...message, id}, transfer);
    });
  }

  // Ends the running job at once: the worker is ended and a fresh one
  // started, and the job resolves with null.
  stop() {
    const current = this.current;
    if (!current) return;
    this.current = null;
    this.worker.terminate();
    this.start();
    current.resolve(null);
  }
}
