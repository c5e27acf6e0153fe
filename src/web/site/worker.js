// Runs the core off the page's thread. One job at a time: a command, the
// decimal-digits prompt, opening a file, or the Solve menu's rule. A job that
// reaches a box waits there in the core and reports the box; the answer lets
// it go on from that box. The job's input bytes stay in the core's memory
// until the job has ended.
'use strict';
// The page starts it from the module's glue and this file in one piece.
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
let job = null;  // {id, op, pointer, runs}
// The work scale the page's first worker measured, for a worker started
// after a stop: the device is measured once per page load.
let knownWorkScale = null;
const encoder = new TextEncoder();

// The panes hold one character per line break; the core sees CR LF.
const {toCrLf} = self.matcalcLines;

function copyIn(bytes) {
  const pointer = core._malloc(bytes.length + 1);
  if (!pointer) return null;
  core.HEAPU8.set(bytes, pointer);
  return pointer;
}

// What the job hands over: a copy (the core's memory is reused), after
// which the core drops its own.
function takeText() {
  const length = core._mc_text_length();
  const pointer = core._mc_text();
  const bytes = core.HEAPU8.slice(pointer, pointer + length);
  core._mc_drop_text();
  return bytes;
}

function pendingBox() {
  const kind = core._mc_box_kind() === 0 ? 'input' : 'message';
  const box = {
    kind,
    title: core.UTF8ToString(core._mc_box_title()),
    text: core.UTF8ToString(core._mc_box_text()),
  };
  if (kind === 'input') {
    box.defaultText = core.UTF8ToString(core._mc_box_default_text());
  } else {
    box.buttons = core._mc_box_buttons() === 1 ? 'yesno' : 'ok';
    box.defaultButton = core._mc_box_default_button() === 2 ? 'no' : 'yes';
    box.icon = ['none', 'exclamation', 'information', 'critical', 'question'][core._mc_box_icon()];
  }
  return box;
}

// Ends the job in the core, then frees its input bytes.
function release(current) {
  core._mc_end();
  if (current.pointer) core._free(current.pointer);
  job = null;
}

// Where the job stands once the core returns (`status` 1: at a box, 0: done).
function report(current, status, started) {
  const elapsed = performance.now() - started;
  let message;
  if (status === 1) {
    message = {type: 'ask', id: current.id, box: pendingBox(), elapsed};
  } else if (status === 0) {
    // For the tests: how many times the job ran from its start (once), and
    // how many times the command took the edit pane's text.
    message = {type: 'done', id: current.id, op: current.op, showsText: core._mc_shows_text(),
               cleared: core._mc_cleared(), digits: core._mc_digits(), elapsed, runs: current.runs,
               textLooks: core._mc_text_looks()};
    // What an iterative command converged through, for the chart.
    if (current.op === 'command') {
      message.series = core.UTF8ToString(core._mc_series());
      message.chart = core.UTF8ToString(core._mc_chart());
    }
  } else {
    release(current);
    postMessage({type: 'failed', id: current.id});
    return;
  }
  const transfer = [];
  // Done: the text for the pane the job concerns. A command hands over what
  // it wrote since its last box (whether it emptied the pane and what it
  // appended); at a box that is shown behind it. A trace written before the
  // last box is not sent again at the end.
  const shows = status === 1 ? current.op === 'command' : current.op !== 'digits';
  const copying = performance.now();
  if (shows && core._mc_shows_text() === 1 &&
      (current.op !== 'command' || core._mc_cleared() === 1 || core._mc_text_length() > 0)) {
    const key = status === 1 ? 'pane' : 'text';
    if (status === 1) message.cleared = core._mc_cleared();
    message[key] = takeText();
    transfer.push(message[key].buffer);
  }
  message.copyMs = performance.now() - copying;
  if (status === 0) release(current);
  // For the benchmark: the copy out of the core, and when the message left.
  message.postedAt = performance.timeOrigin + performance.now();
  postMessage(message, transfer);
}

function startJob(data) {
  if (job) release(job);
  const current = {id: data.id, op: data.op, pointer: 0, runs: 1};
  job = current;
  // The result pane stays in the page: only its length comes.
  const bytes = data.op === 'command' ? encoder.encode(toCrLf(data.text1))
      : data.op === 'open' ? new Uint8Array(data.bytes) : new Uint8Array(0);
  current.pointer = copyIn(bytes);
  if (current.pointer === null) {
    job = null;
    postMessage({type: 'failed', id: data.id});
    return;
  }
  const started = performance.now();
  let status = -1;
  if (data.op === 'command') {
    status = core._mc_run_command(data.index, current.pointer, bytes.length, data.held, data.digits,
                                  data.exact ? 1 : 0);
  } else if (data.op === 'digits') {
    status = core._mc_ask_digits(data.digits);
  } else if (data.op === 'open') {
    status = core._mc_open_file(current.pointer, bytes.length);
  }
  report(current, status, started);
}

function answerJob(answer) {
  const current = job;
  const started = performance.now();
  let status;
  if (answer.kind !== 'input') {
    status = core._mc_answer_reply(answer.reply === 'yes' ? 1 : answer.reply === 'no' ? 2 : 0);
  } else if (answer.text === null) {
    status = core._mc_answer_input(0, -1);
  } else {
    const bytes = encoder.encode(answer.text);
    const pointer = copyIn(bytes);
    status = pointer === null ? -1 : core._mc_answer_input(pointer, bytes.length);
    if (pointer !== null) core._free(pointer);
  }
  report(current, status, started);
}

function handle(data) {
  try {
    if (data.type === 'run') {
      startJob(data);
    } else if (data.type === 'answer' && job && job.id === data.id) {
      answerJob(data.answer);
    } else if (data.type === 'solve-enabled') {
      const bytes = encoder.encode(data.text1);
      const pointer = copyIn(bytes);
      const enabled = pointer !== null && core._mc_solve_enabled(pointer, bytes.length) === 1;
      if (pointer !== null) core._free(pointer);
      postMessage({type: 'solve-enabled', id: data.id, enabled});
    }
  } catch (error) {
    // The core ran out of memory or trapped: the job ends, the panes stay.
    job = null;
    postMessage({type: 'failed', id: data.id, reason: String(error)});
  }
}

// Called by the core while a command computes: the whole percent done,
// growing within one run of the job.
self.mcProgress = (percent) => {
  if (job) postMessage({type: 'progress', id: job.id, percent});
};

const queue = [];
onmessage = (event) => {
  if (event.data.type === 'work-scale') {
    knownWorkScale = event.data.workScale;
    if (core) core._mc_set_work_scale(knownWorkScale);
    return;
  }
  if (event.data.type === 'core') start(event.data.module);
  else if (core) handle(event.data);
  else queue.push(event.data);
};

const start = (compiled) => boot(compiled).then((module) => {
  core = module;
  // How fast this device computes: measured once, here off the page's
  // thread, before any command; the budgets scale their work by it.
  let workScale = knownWorkScale;
  if (workScale === null) {
    workScale = core._mc_calibrate();
  } else {
    core._mc_set_work_scale(workScale);
  }
  postMessage({type: 'ready', catalog: JSON.parse(core.UTF8ToString(core._mc_catalog())),
               workScale});
  for (const data of queue.splice(0)) handle(data);
}, (error) => {
  postMessage({type: 'broken', reason: String(error)});
});
