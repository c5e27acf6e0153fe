// Runs the core off the page's thread. One job at a time: a command, the
// decimal-digits prompt, opening a file, or the Solve menu's rule. A job that
// reaches a box with no answer yet reports the box; each answer runs the job
// again from its start with all answers so far (the core is deterministic).
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
let job = null;  // {id, op, args, pointers, answers}
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

function readText() {
  const length = core._mc_text_length();
  const pointer = core._mc_text();
  // A copy: the core's memory is reused by the next run.
  return core.HEAPU8.slice(pointer, pointer + length);
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

function feedAnswers(answers) {
  core._mc_clear_answers();
  for (const answer of answers) {
    if (answer.kind === 'input') {
      if (answer.text === null) {
        core._mc_add_input(0, -1);
      } else {
        const bytes = encoder.encode(answer.text);
        const pointer = copyIn(bytes);
        core._mc_add_input(pointer, bytes.length);
        core._free(pointer);
      }
    } else {
      core._mc_add_reply(answer.reply === 'yes' ? 1 : answer.reply === 'no' ? 2 : 0);
    }
  }
}

function release(current) {
  for (const pointer of current.pointers) core._free(pointer);
  current.pointers = [];
}

function runJob() {
  const current = job;
  const started = performance.now();
  feedAnswers(current.answers);
  let status;
  const [a] = current.pointers;
  switch (current.op) {
    case 'command':
      status = core._mc_run_command(current.args.index, a, current.lengths[0],
                                    current.args.held, current.args.digits,
                                    current.args.exact ? 1 : 0);
      break;
    case 'digits':
      status = core._mc_ask_digits(current.args.digits);
      break;
    case 'open':
      status = core._mc_open_file(a, current.lengths[0]);
      break;
    default:
      status = -1;
  }
  const elapsed = performance.now() - started;
  if (status === 1) {
    const message = {type: 'ask', id: current.id, box: pendingBox(), elapsed};
    const transfer = [];
    // What a command wrote before the box, shown behind it: whether it
    // emptied the pane and what it appended.
    if (current.op === 'command' && core._mc_shows_text() === 1) {
      message.cleared = core._mc_cleared();
      message.pane = readText();
      transfer.push(message.pane.buffer);
    }
    postMessage(message, transfer);
    return;
  }
  release(current);
  job = null;
  if (status !== 0) {
    postMessage({type: 'failed', id: current.id});
    return;
  }
  const message = {type: 'done', id: current.id, op: current.op, showsText: core._mc_shows_text(),
                   cleared: core._mc_cleared(), digits: core._mc_digits(), elapsed};
  const transfer = [];
  // What an iterative command converged through, for the chart.
  if (current.op === 'command') {
    message.series = core.UTF8ToString(core._mc_series());
    message.chart = core.UTF8ToString(core._mc_chart());
  }
  if (current.op !== 'digits' && core._mc_shows_text() === 1) {
    message.text = readText();
    transfer.push(message.text.buffer);
  }
  postMessage(message, transfer);
}

function startJob(data) {
  if (job) release(job);
  job = {id: data.id, op: data.op, args: data, pointers: [], lengths: [], answers: []};
  const inputs = [];
  if (data.op === 'command') {
    // The result pane stays in the page: only its length comes.
    inputs.push(encoder.encode(toCrLf(data.text1)));
  } else if (data.op === 'open') {
    inputs.push(new Uint8Array(data.bytes));
  }
  for (const bytes of inputs) {
    const pointer = copyIn(bytes);
    if (pointer === null) {
      release(job);
      job = null;
      postMessage({type: 'failed', id: data.id});
      return;
    }
    job.pointers.push(pointer);
    job.lengths.push(bytes.length);
  }
  runJob();
}

function handle(data) {
  try {
    if (data.type === 'run') {
      startJob(data);
    } else if (data.type === 'answer' && job && job.id === data.id) {
      job.answers.push(data.answer);
      runJob();
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
