// Running the core's jobs in its worker: a command, the decimal-digits
// prompt, opening a file. While one runs the page is busy: the catalog's busy
// items are disabled, the panes read-only, and after a moment the progress
// bar and the stop button show.
import {Engine} from './engine.js';
import {inputBox, messageBox} from './boxes.js';
import {busyToolKeys} from './catalog.js';

const PROGRESS_DELAY_MS = 150;

// Said politely to a screen reader: what has just finished. Emptied first,
// so that the same command finishing again is said again.
function announce(text) {
  const region = document.getElementById('announce');
  region.textContent = '';
  requestAnimationFrame(() => {
    region.textContent = text;
  });
}

export function createRuns(page) {
  const progress = document.getElementById('progress');
  const stopButton = document.getElementById('stop');
  let running = false;
  let progressTimer = 0;

  // Not while a box waits: short runs do not flash the bar.
  function showWorking(working) {
    clearTimeout(progressTimer);
    // Without a value the bar moves to and fro until the core reports.
    progress.removeAttribute('value');
    if (working) {
      progressTimer = setTimeout(() => {
        progress.hidden = false;
        stopButton.hidden = false;
      }, PROGRESS_DELAY_MS);
    } else {
      progress.hidden = true;
      stopButton.hidden = true;
    }
  }

  // The core is never given the result pane: it hands over what the command
  // did to it since the last box (emptied, appended) and the page applies
  // that to the pane as it is, so a trace shown at a box is not sent again.
  function apply(delta) {
    if (delta.cleared) page.pane2.setBytes(delta.bytes);
    else page.pane2.appendBytes(delta.bytes);
  }

  // The page's answers to the core's boxes.
  async function askBox(box, delta) {
    showWorking(false);
    // Esc answers the box now, not stops the command: the status says no
    // more than what runs.
    const computing = page.statusText();
    page.setStatus(computing.replace(/（按 Esc 停止）$/, ''));
    if (delta !== null) apply(delta);
    let answer;
    // The core's prompts all ask for numbers (the leading-number rule).
    if (box.kind === 'input') answer = {kind: 'input', text: await inputBox({...box, numeric: true})};
    else answer = {kind: 'message', reply: await messageBox(box)};
    page.setStatus(computing);
    showWorking(true);
    return answer;
  }

  const engine = new Engine({
    ask: askBox,
    onProgress: (percent) => {
      progress.value = percent;
    },
    onReady: (received) => page.coreStarted(received),
    onBroken: (reason) => page.setStatus(`计算器未能启动：${reason}`),
  });

  function setBusy(busy) {
    const {catalog} = page;
    page.menuBar.setBusy(catalog.busyItems, busy);
    const keys = new Set(busyToolKeys(catalog));
    for (const button of document.querySelectorAll('.tool')) {
      if (keys.has(button.dataset.key)) button.disabled = busy;
    }
    page.pane1.readOnly = busy;
    page.pane2.readOnly = busy;
    document.body.classList.toggle('busy', busy);
  }

  // Runs `work` with the page busy; null when another job runs, or when the
  // job was stopped or failed.
  async function busy(work) {
    if (running) return null;
    running = true;
    setBusy(true);
    showWorking(true);
    try {
      return await work();
    } catch {
      return null;
    } finally {
      showWorking(false);
      setBusy(false);
      running = false;
    }
  }

  // Command `index` of the catalog on the panes.
  async function runCommand(index) {
    const {pane1, pane2, catalog, shown} = page;
    const before = pane2.snapshot();
    const statusBefore = page.statusText();
    page.setStatus((page.texts.statusComputing || '').replace('%1',
                                                              catalog.commands[index].caption));
    const outcome = await busy(() => engine.run({
      type: 'run', op: 'command', index, text1: pane1.value, held: pane2.heldBytes,
      digits: page.settings.digits, exact: page.settings.exact === true,
    }));
    page.setStatus(statusBefore);
    if (outcome === null || !outcome.showsText) {
      // Stopped, failed or cancelled: both panes as before the command, and
      // the chart with the trace it had.
      const hadTrace = shown.trace === before.revision;
      pane2.restore(before);
      if (hadTrace) shown.trace = pane2.revision;
    } else {
      const applying = performance.now();
      apply(outcome);
      document.body.dataset.lastApplyMs = String(Math.round(performance.now() - applying));
      shown.series = outcome.series;
      shown.chart = outcome.chart;
      shown.caption = catalog.commands[index].caption;
      shown.trace = pane2.revision;  // which text of the pane it is
    }
    if (outcome === null) return;
    if (outcome.showsText) announce(`已完成：${catalog.commands[index].caption}`);
    // For the tests and the benchmark: the core's time after the last answer,
    // how many times the command ran from its start (once) and took the edit
    // pane's text, and what handing over its trace took after the core.
    const {dataset} = document.body;
    dataset.lastRunMs = String(Math.round(outcome.elapsed));
    dataset.lastRuns = String(outcome.runs);
    dataset.lastTextLooks = String(outcome.textLooks);
    dataset.lastCopyMs = String(Math.round(outcome.copyMs));
    dataset.lastPostMs = String(Math.round(outcome.postMs));
  }

  return {
    engine,
    busy,
    runCommand,
    get running() {
      return running;
    },
  };
}
