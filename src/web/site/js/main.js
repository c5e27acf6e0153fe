// The workbench page: two panes, the menus and the toolbar, the commands run
// by the core in a worker.
import {Engine} from './engine.js';
import {formBox, frameBox, inputBox, messageBox, setProgramTitle, toLines} from './boxes.js';
import {MenuBar, buildToolbar} from './menus.js';
import {DEFAULTS, applyLook, loadSettings, saveSettings} from './settings.js';
import {chooseFile, download, readDropped} from './files.js';
import {Pane} from './pane.js';
import {Hints} from './hints.js';
import {PrintView} from './print.js';
import {showChart} from './chart-box.js';
import {asset} from './core.js';
import {showExitScreen} from './exit.js';
import {CATALOG} from './catalog.js';
import {takePanes, watchForUpdates} from './update.js';

// The text areas, and the panes that show a long text without them.
const text1 = document.getElementById('text1');
const text2 = document.getElementById('text2');
const pane1 = new Pane(text1);
const pane2 = new Pane(text2);
const panes = [pane1, pane2];
const status = document.getElementById('status');
const progress = document.getElementById('progress');
const stopButton = document.getElementById('stop');
const settings = loadSettings();
applyLook(settings, panes);

let catalog = null;
let texts = {};
let menuBar = null;
let saveName = '';       // the file save writes to without asking again
let running = false;
// The last iterative command's series and caption, and the trace it left in
// the result pane (the print's header names the method while the pane shows
// that trace).
let shownSeries = null;
let shownCaption = '';
let shownTrace = null;
const PROGRESS_DELAY_MS = 150;
// The status line while the core loads (the page's own HTML says it first),
// and why the Solve menus are disabled.
const STARTING = '正在启动计算器……';
const SOLVE_DISABLED = '编辑区是空的：先输入一个矩阵或向量，再选择求解方法。';

function setStatus(text) {
  status.textContent = text;
}

function inform(text) {
  return messageBox({title: '', text});
}

// The progress bar and the stop button show while the core computes, after
// a moment, so that short runs do not flash them; not while a box waits.
let progressTimer = 0;

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

// The result pane's text before the running command: the core is never given
// it; it reports what the command does to the pane (emptied, appended) and
// the page applies that.
// (A snapshot of the pane: a long trace stays the bytes it came as.)
let paneBefore = null;

function apply(delta) {
  if (delta.cleared) {
    pane2.setBytes(delta.bytes);
  } else {
    const old = paneBefore.text ?? new TextDecoder().decode(paneBefore.bytes);
    pane2.value = old + new TextDecoder().decode(delta.bytes);
  }
}

// The page's answers to the core's boxes.
async function askBox(box, delta) {
  showWorking(false);
  // Esc answers the box now, not stops the command: the status says no more
  // than what runs.
  const computing = status.textContent;
  setStatus(computing.replace(/（按 Esc 停止）$/, ''));
  if (delta !== null) apply(delta);
  let answer;
  if (box.kind === 'input') answer = {kind: 'input', text: await inputBox(box)};
  else answer = {kind: 'message', reply: await messageBox(box)};
  setStatus(computing);
  showWorking(true);
  return answer;
}

const engine = new Engine({
  ask: askBox,
  onProgress: (percent) => {
    progress.value = percent;
  },
  onReady: (received) => {
    if (!catalog) start(received);
    coreStarted();
  },
  onBroken: (reason) => setStatus(`计算器未能启动：${reason}`),
});

// The toolbar's buttons whose items a running command must not meet.
function setToolsBusy(busy) {
  for (const button of document.querySelectorAll('.tool')) {
    if (catalog.busyItems.includes(catalog.toolbarItems[button.dataset.key])) {
      button.disabled = busy;
    }
  }
}

// Runs a job of the engine with the page marked busy: the items of the
// catalog's busy list are disabled and the panes read-only.
async function busy(work) {
  if (running) return null;
  running = true;
  menuBar.setBusy(catalog.busyItems, true);
  setToolsBusy(true);
  pane1.readOnly = true;
  pane2.readOnly = true;
  document.body.classList.add('busy');
  showWorking(true);
  try {
    return await work();
  } catch {
    return null;
  } finally {
    showWorking(false);
    pane1.readOnly = false;
    pane2.readOnly = false;
    document.body.classList.remove('busy');
    setToolsBusy(false);
    menuBar.setBusy(catalog.busyItems, false);
    running = false;
  }
}

async function runCommand(index) {
  const before = pane2.snapshot();
  paneBefore = before;
  const statusBefore = status.textContent;
  setStatus((texts.statusComputing || '').replace('%1', catalog.commands[index].caption));
  const outcome = await busy(() => engine.run({
    type: 'run', op: 'command', index, text1: pane1.value, held: pane2.heldBytes,
    digits: settings.digits,
  }));
  setStatus(statusBefore);
  if (outcome === null || !outcome.showsText) {
    // Stopped, failed or cancelled: both panes as before the command.
    pane2.restore(before);
  } else {
    apply(outcome);
    shownSeries = outcome.series;
    shownCaption = catalog.commands[index].caption;
    shownTrace = pane2.revision;
  }
  paneBefore = null;
  if (outcome === null) return;
  document.body.dataset.lastRunMs = String(Math.round(outcome.elapsed));
}

async function askDigits() {
  const outcome = await busy(() => engine.run({type: 'run', op: 'digits',
                                                digits: settings.digits}));
  if (outcome === null) return;
  settings.digits = outcome.digits;
  saveSettings(settings);
}

async function openBytes(name, bytes) {
  const outcome = await busy(() => engine.run({type: 'run', op: 'open', bytes}, [bytes]));
  if (outcome === null) {
    await inform(texts.openFailed);
    return;
  }
  if (!outcome.showsText) return;  // the large-file question answered No
  const text = outcome.text;
  pane1.value = text;
  pane2.value = '';
  hints.changed();
  if (text.length === 0) return;  // the empty file: its message was shown
  saveName = '';
  setStatus(name);
}

async function fileOpen() {
  const file = await chooseFile();
  if (file === null) {
    await inform(texts.openCancelled);
    return;
  }
  // A file too large to work on is not read at all.
  if (file.size > catalog.largestFileBytes) {
    await inform(texts.fileTooLarge);
    return;
  }
  let bytes;
  try {
    bytes = await file.arrayBuffer();
  } catch {
    await inform(texts.openFailed);
    return;
  }
  await openBytes(file.name, bytes);
}

// The result pane's text as saved: UTF-8, CR LF line breaks.
function resultBytes() {
  return pane2.bytes();
}

async function askFileName(title) {
  const name = await inputBox({title, text: '文件名：', defaultText: saveName || 'matcalc.txt'});
  if (name === null || name.trim() === '') return null;
  return name.trim();
}

async function fileSave() {
  if (pane2.empty) {
    await inform(texts.saveEmpty);
    return;
  }
  if (!saveName) {
    const name = await askFileName('保存');
    if (name === null) {
      await inform(texts.saveCancelled);
      return;
    }
    saveName = name;
  }
  if (!download(saveName, resultBytes())) {
    await inform(texts.saveFailed);
    return;
  }
  setStatus(saveName);
}

async function fileSaveAs() {
  const name = await askFileName('另存为');
  if (name === null) {
    await inform(texts.saveAsCancelled);
    return;
  }
  if (!download(name, resultBytes())) {
    await inform(texts.saveFailed);
    return;
  }
  setStatus(name);
}

function fileNew() {
  pane1.value = '';
  pane2.value = '';
  hints.changed();
  setStatus(texts.statusNew);
}

// ---- Edit commands: they act on the edit pane wherever the focus is. ----

function editSelectAll() {
  // A long text is shown read-only.
  if (pane1.long) return;
  text1.focus();
  text1.setSelectionRange(0, text1.value.length);
}

function replaceSelection(replacement) {
  if (pane1.long) return;
  const start = text1.selectionStart;
  text1.setRangeText(replacement, start, text1.selectionEnd, 'end');
  text1.dispatchEvent(new Event('input'));
}

async function editCopy() {
  if (pane1.long) return false;
  const selected = text1.value.slice(text1.selectionStart, text1.selectionEnd);
  if (selected.length === 0) return false;
  try {
    await navigator.clipboard.writeText(selected);
  } catch {
    // No clipboard access granted: the clipboard keeps what it held.
  }
  return true;
}

async function editCut() {
  if (await editCopy()) replaceSelection('');
}

async function editPaste() {
  let clip = '';
  try {
    clip = await navigator.clipboard.readText();
  } catch {
    return;
  }
  // An empty clipboard must not wipe out the selection.
  if (clip.length > 0) replaceSelection(toLines(clip));
}

function editDelete() {
  if (pane1.long) return;
  const focused = document.activeElement === text2 ? text2 : text1;
  // The caret at the very end of the focused pane: nothing after it.
  if (focused.value.length === text1.selectionStart) return;
  if (text1.selectionStart === text1.selectionEnd) {
    text1.setSelectionRange(text1.selectionStart, text1.selectionStart + 1);
  }
  replaceSelection('');
}

// ---- Display ----

function showStyle() {
  formBox('字体', (body) => {
    const label = document.createElement('label');
    label.className = 'box-prompt';
    label.textContent = '字号（磅）：';
    const size = document.createElement('input');
    size.type = 'number';
    size.min = '6';
    size.max = '72';
    size.value = String(settings.fontPoints);
    size.className = 'box-input';
    size.id = 'font-size';
    label.htmlFor = size.id;
    body.append(label, size);
    return {focus: size, value: () => Number(size.value)};
  }).then((points) => {
    if (points === null || !Number.isInteger(points) || points < 6 || points > 72) return;
    settings.fontPoints = points;
    applyLook(settings, panes);
    saveSettings(settings);
  });
}

function showBackcolor() {
  formBox('背景', (body) => {
    const label = document.createElement('label');
    label.className = 'box-prompt';
    label.textContent = '背景颜色：';
    const colour = document.createElement('input');
    colour.type = 'color';
    colour.value = settings.background || '#ffffff';
    colour.id = 'background-colour';
    label.htmlFor = colour.id;
    body.append(label, colour);
    return {focus: colour, value: () => colour.value};
  }).then((colour) => {
    if (colour === null) return;
    settings.background = colour;
    applyLook(settings, panes);
    saveSettings(settings);
  });
}

function showDefault() {
  Object.assign(settings, DEFAULTS);
  applyLook(settings, panes);
  saveSettings(settings);
}

// ---- Help ----

function showHelp() {
  frameBox('帮助文件', asset('help/index.html'));
}

function showAbout() {
  frameBox(`关于${catalog.title}`, asset('about.html'));
}

function leave() {
  // A page cannot close a tab it did not open: the exit screen says how.
  showExitScreen(texts.exitCredits || '', texts.exitPage || '');
}

// ---- Wiring ----

function start(received) {
  catalog = received;
  texts = catalog.texts;
  setProgramTitle(catalog.title);
  const actions = {
    FileNew: fileNew, FileOpen: fileOpen, FileSave: fileSave, FileSaveAs: fileSaveAs,
    File: leave, EditSelectAll: editSelectAll, EditCut: editCut, EditCopy: editCopy,
    EditPaste: editPaste, EditDelete: editDelete, ShowStyle: showStyle,
    ShowBackcolor: showBackcolor, ShowDefault: showDefault,
    ShowFormatDecimalDigits: askDigits, mnuHelpFile: showHelp, mnuAbout: showAbout,
    // The browser's print shows its preview and saves as PDF too.
    FilePrint: () => window.print(), FilePrintPreview: () => window.print(),
    FileExportPdf: () => window.print(), ShowChart: () => showChart(shownSeries, shownCaption),
  };
  catalog.commands.forEach((command, index) => {
    actions[command.item] = () => runCommand(index);
  });
  menuBar = new MenuBar(document.getElementById('menubar'), catalog.menus, {
    actions,
    onOpen: async (name, items) => {
      if (name !== 'mnuC' && name !== 'mnuL') return;
      let enabled = false;
      if (!engine.busy) {
        try {
          enabled = await engine.run({type: 'solve-enabled', text1: pane1.value});
        } catch {
          enabled = false;
        }
      }
      for (const node of items.values()) {
        node.disabled = !enabled;
        // Why, on the item and in the status line.
        node.title = enabled ? '' : SOLVE_DISABLED;
      }
      if (!enabled && !engine.busy) setStatus(SOLVE_DISABLED);
    },
  });
  buildToolbar(document.getElementById('toolbar'), catalog.toolbar, (key) => {
    const action = actions[catalog.toolbarItems[key]];
    if (action) action();
  });
  // When the menus could be used (read by the page's benchmark).
  document.body.dataset.menusMs = String(Math.round(performance.now()));
  document.body.classList.add('menus');
}

// The core is loaded: the calculator has started.
function coreStarted() {
  if (status.textContent === STARTING) setStatus('');
  document.body.classList.remove('starting');
  // The service worker fetches what it keeps once the page has it.
  watchForUpdates({
    notice: document.getElementById('update'),
    panes: () => ({text1: pane1.value, text2: pane2.value}),
    busy: () => running,
  });
  // When the page became interactive (read by the page's benchmark).
  document.body.dataset.readyMs = String(Math.round(performance.now()));
  document.body.classList.add('ready');
}

text1.addEventListener('input', () => setStatus(texts.statusEditing || ''));
text1.addEventListener('focus', () => setStatus(texts.statusEditArea || ''));
text2.addEventListener('focus', () => setStatus(texts.statusResultArea || ''));
pane1.view.root.addEventListener('focus', () => setStatus(texts.statusEditArea || ''));
pane2.view.root.addEventListener('focus', () => setStatus(texts.statusResultArea || ''));
stopButton.addEventListener('click', () => engine.stop());

document.addEventListener('keydown', (event) => {
  if (running && event.key === 'Escape' && !document.querySelector('dialog[open]')) {
    engine.stop();
    return;
  }
  if (!catalog || !(event.ctrlKey || event.metaKey) || event.altKey) return;
  if (document.querySelector('dialog[open]')) return;
  const item = catalog.shortcuts[`Ctrl+${event.key.toUpperCase()}`];
  if (item) {
    event.preventDefault();
    const node = menuBar.item(item);
    if (node && !node.disabled) node.click();
  }
});

// A file dropped on the edit pane is opened.
pane1.view.root.addEventListener('dragover', (event) => {
  event.preventDefault();
});
pane1.view.root.addEventListener('drop', (event) => dropped(event));
text1.addEventListener('dragover', (event) => {
  event.preventDefault();
  event.dataTransfer.dropEffect = 'copy';
});
text1.addEventListener('drop', (event) => dropped(event));
async function dropped(event) {
  event.preventDefault();
  if (running || !catalog) return;
  const file = await readDropped(event.dataTransfer, catalog.largestFileBytes);
  if (file === null) return;
  if (file.tooLarge) {
    await inform(texts.fileTooLarge);
    return;
  }
  if (file.bytes === null) {
    await inform(texts.openFailed);
    return;
  }
  await openBytes(file.name, file.bytes);
}

const hints = new Hints(text1, () => pane1.value, (text) => {
  document.getElementById('hints').textContent = text;
});
new PrintView(() => pane2.value, () => (pane2.revision === shownTrace ? shownCaption : ''));

// The panes' texts for scripts that drive the page (its tests among them).
window.matcalcPage = Object.freeze({text1: () => pane1.value, text2: () => pane2.value,
                                    series: () => shownSeries});

// The build puts the catalog into the page: the menus and the toolbar come
// at once, before the core has loaded.
if (CATALOG) start(CATALOG);

// The panes' texts kept across a reload into a newer version.
takePanes().then((texts) => {
  if (texts === null) return;
  pane1.value = texts.text1;
  pane2.value = texts.text2;
  hints.changed();
});
