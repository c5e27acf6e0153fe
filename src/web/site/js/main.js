// The workbench page: two panes, the menus and the toolbar, the commands run
// by the core in a worker. This module only wires the others together:
// running jobs (runs.js), files (documents.js), editing (editing.js), the
// display (display.js) and the menubar (menus.js), from the core's catalog.
import {frameBox, messageBox, setProgramTitle} from './boxes.js';
import {MenuBar, buildToolbar} from './menus.js';
import {loadSettings, applyLook, settleDigits} from './settings.js';
import {Pane} from './pane.js';
import {Hints} from './hints.js';
import {PrintView} from './print.js';
import {showChart} from './chart-box.js';
import {shortcutItem} from './catalog.js';
import {createRuns} from './runs.js';
import {createDocuments} from './documents.js';
import {createEditing} from './editing.js';
import {createDisplay} from './display.js';
import {asset} from './core.js';
import {showExitScreen} from './exit.js';
import {CATALOG} from './built-catalog.js';
import {watchForUpdates} from './update.js';
import {takePanes} from './keeping.js';
import {watchDrafts} from './drafts.js';

// The status line while the core loads (the page's own HTML says it first).
const STARTING = '正在启动计算器……';

// What the modules share: the panes, the status line, the settings, the
// catalog once the core is ready, and the last iterative command's series,
// chart plan and caption with the trace it left (the print's header names
// the method while the pane shows that trace).
const text1 = document.getElementById('text1');
const text2 = document.getElementById('text2');
const status = document.getElementById('status');
const page = {
  text1,
  text2,
  pane1: new Pane(text1),
  pane2: new Pane(text2),
  settings: loadSettings(),
  catalog: null,
  texts: {},
  menuBar: null,
  hints: null,
  shown: {series: null, chart: null, caption: '', trace: null},
  setStatus(text) {
    status.textContent = text;
  },
  statusText() {
    return status.textContent;
  },
  inform(text) {
    return messageBox({title: '', text});
  },
  start,
  coreStarted,
};
page.panes = [page.pane1, page.pane2];

// Whether the result pane still shows the trace of the last command: 新建,
// 打开, an example or any other text set there replace it, and so does the
// user's emptying the pane. The chart and the print's header follow it.
function shownTrace() {
  return page.pane2.revision === page.shown.trace;
}
text2.addEventListener('input', () => {
  if (page.pane2.empty) page.shown.trace = null;
});
applyLook(page.settings, page.panes);

const runs = createRuns(page);
const documents = createDocuments(page, runs);
const editing = createEditing(page);
const display = createDisplay(page, runs);

function start(received) {
  const catalog = received;
  page.catalog = catalog;
  page.texts = catalog.texts;
  // The page's HTML says it until the core has loaded; the window says the same.
  if (page.texts.editPlaceholder) text1.placeholder = page.texts.editPlaceholder;
  settleDigits(page.settings, catalog.digits);
  setProgramTitle(catalog.title);
  const actions = {
    FileNew: documents.fileNew, FileOpen: documents.fileOpen, FileSave: documents.fileSave,
    FileSaveAs: documents.fileSaveAs,
    // A page cannot close a tab it did not open: the exit screen says how.
    File: () => showExitScreen(page.texts.exitCredits || '', page.texts.exitPage || ''),
    EditSelectAll: editing.selectAll, EditCut: editing.cut, EditCopy: editing.copy,
    EditPaste: editing.paste, EditDelete: editing.erase,
    ShowStyle: display.showStyle, ShowBackcolor: display.showBackcolor,
    ShowDefault: display.showDefault, ShowFormatDecimalDigits: display.askDigits,
    ShowExactFractions: display.toggleExact,
    mnuHelpFile: () => frameBox('帮助文件', asset('help/index.html')),
    mnuAbout: () => frameBox(`关于${catalog.title}`, asset('about.html')),
    // The browser's print shows its preview and saves as PDF too.
    FilePrint: () => window.print(), FilePrintPreview: () => window.print(),
    FileExportPdf: () => window.print(),
    ShowChart: () => showChart(shownTrace() ? page.shown.chart : null, page.texts),
  };
  for (const item of Object.keys(catalog.examples || {})) {
    actions[item] = () => documents.openExample(item);
  }
  catalog.commands.forEach((command, index) => {
    actions[command.item] = () => runs.runCommand(index);
  });
  page.menuBar = new MenuBar(document.getElementById('menubar'), catalog.menus, {
    actions,
    onOpen: async (name, items) => {
      if (!catalog.menus.find((menu) => menu.name === name).listsCommands) return;
      let enabled = false;
      if (!runs.engine.busy) {
        try {
          enabled = await runs.engine.run({type: 'solve-enabled', text1: page.pane1.value});
        } catch {
          enabled = false;
        }
      }
      // Why, on the item and in the status line, as the window says it.
      const why = page.texts.solveDisabled || '';
      for (const node of items.values()) {
        node.disabled = !enabled;
        node.title = enabled ? '' : why;
      }
      if (!enabled && !runs.engine.busy) page.setStatus(why);
    },
  });
  const runTool = (key) => {
    const action = actions[catalog.toolbarItems[key]];
    if (action) action();
  };
  buildToolbar(document.getElementById('toolbar'), catalog.toolbar, catalog.toolbarGroupStarts,
               runTool);
  display.showExact();
  // When the menus could be used (read by the page's benchmark).
  document.body.dataset.menusMs = String(Math.round(performance.now()));
  document.body.classList.add('menus');
}

// The core is loaded: the calculator has started.
function coreStarted(received) {
  if (!page.catalog) start(received);
  if (status.textContent === STARTING) page.setStatus('');
  document.body.classList.remove('starting');
  // The service worker fetches what it keeps once the page has it.
  watchForUpdates({
    notice: document.getElementById('update'),
    panes: () => {
      // A long trace as the bytes the core wrote, not decoded.
      const kept = page.pane2.snapshot();
      return {text1: page.pane1.value, text2: kept.bytes ? kept.bytes.whole : kept.text};
    },
    busy: () => runs.running,
    say: page.setStatus,
  });
  // When the page became interactive (read by the page's benchmark).
  document.body.dataset.readyMs = String(Math.round(performance.now()));
  document.body.classList.add('ready');
}

const statusFor = (name) => () => page.setStatus(page.texts[name] || '');
text1.addEventListener('input', statusFor('statusEditing'));
text1.addEventListener('focus', statusFor('statusEditArea'));
text2.addEventListener('focus', statusFor('statusResultArea'));
page.pane1.view.root.addEventListener('focus', statusFor('statusEditArea'));
page.pane2.view.root.addEventListener('focus', statusFor('statusResultArea'));
document.getElementById('stop').addEventListener('click', () => runs.engine.stop());

// In the result pane and in a read-only view the editing keys are the
// pane's own (Ctrl+A selects its text, Ctrl+C copies it), as in the window;
// the menu's items act on the edit pane.
const PANE_KEYS = new Set(['EditSelectAll', 'EditCut', 'EditCopy', 'EditPaste', 'EditDelete']);
function paneKeepsKeys(target) {
  return target === text2 || target === page.pane1.view.root || target === page.pane2.view.root;
}

document.addEventListener('keydown', (event) => {
  if (runs.running && event.key === 'Escape' && !document.querySelector('dialog[open]')) {
    runs.engine.stop();
    return;
  }
  if (!page.catalog || document.querySelector('dialog[open]')) return;
  const item = shortcutItem(page.catalog, event);
  if (item && PANE_KEYS.has(item) && paneKeepsKeys(event.target)) return;
  if (item) {
    event.preventDefault();
    const node = page.menuBar.item(item);
    if (node && !node.disabled) node.click();
  }
});

page.pane1.view.root.addEventListener('dragover', (event) => {
  event.preventDefault();
});
page.pane1.view.root.addEventListener('drop', (event) => documents.dropped(event));
text1.addEventListener('dragover', (event) => {
  event.preventDefault();
  event.dataTransfer.dropEffect = 'copy';
});
text1.addEventListener('drop', (event) => documents.dropped(event));

page.hints = new Hints(text1, () => page.pane1.value, (text) => {
  document.getElementById('hints').textContent = text;
});
// The print's header names the method while the pane shows its trace.
new PrintView(() => page.pane2.value, () => {
  if (!page.catalog) return document.title;
  if (!shownTrace()) return page.catalog.title;
  return page.texts.printCaption.replace('%1', () => page.shown.caption);
}, () => page.catalog?.wideRanges ?? []);

// The panes' texts for scripts that drive the page (its tests among them).
window.matcalcPage = Object.freeze({text1: () => page.pane1.value, text2: () => page.pane2.value,
                                    series: () => (shownTrace() ? page.shown.series : null)});

// The build puts the catalog into the page: the menus and the toolbar come
// at once, before the core has loaded.
if (CATALOG) start(CATALOG);

// The drafts of the edit pane, offered back after a reload or a closed tab.
const drafts = watchDrafts({pane: page.pane1, notice: document.getElementById('draft'),
                            changed: () => page.hints.changed()});

// The panes' texts kept across a reload into a newer version; a trace too
// long for the browser's storage leaves a line saying so.
const NOT_KEPT = '（浏览器的存储空间不够，重新载入时没有保留结果区的内容。）';
takePanes().then((texts) => {
  if (texts !== null) {
    page.pane1.value = texts.text1;
    if (!texts.text2Kept) page.pane2.value = NOT_KEPT;
    else if (typeof texts.text2 === 'string') page.pane2.value = texts.text2;
    else page.pane2.setBytes(texts.text2);
    page.hints.changed();
  }
  drafts.offer(texts !== null);
});
