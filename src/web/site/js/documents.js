// New, open, save and save as: files in and out of the panes. What is opened
// goes to the edit pane, through the core's opening rules (desk/opening.h);
// what is saved is the result pane's trace, UTF-8 with CR LF.
import './lines.js';
import {inputBox, messageBox} from './boxes.js';
import {chooseFile, download, readDropped} from './files.js';
import {EXAMPLES} from './built-catalog.js';

const {toLines} = globalThis.matcalcLines;

export function createDocuments(page, runs) {
  let saveName = '';  // the file save writes to without asking again
  let exampleText = null;  // the text the last example put into the edit pane

  async function openBytes(name, bytes) {
    const outcome = await runs.busy(() => runs.engine.run({type: 'run', op: 'open', bytes},
                                                          [bytes]));
    if (outcome === null) {
      await page.inform(page.texts.openFailed);
      return;
    }
    if (!outcome.showsText) return;  // refused, or the large-file question answered No
    const text = outcome.text;
    page.pane1.value = text;
    page.pane2.value = '';
    page.hints.changed();
    if (text.length === 0) return;  // the empty file: its message was shown
    saveName = '';
    page.setStatus(name);
  }

  async function fileOpen() {
    const file = await chooseFile();
    if (file === null) {
      await page.inform(page.texts.openCancelled);
      return;
    }
    // A file too large to work on is not read at all (the core's limit).
    if (file.size > page.catalog.largestFileBytes) {
      await page.inform(page.texts.fileTooLarge);
      return;
    }
    let bytes;
    try {
      bytes = await file.arrayBuffer();
    } catch {
      await page.inform(page.texts.openFailed);
      return;
    }
    await openBytes(file.name, bytes);
  }

  // A file dropped on the edit pane is opened.
  async function dropped(event) {
    event.preventDefault();
    if (runs.running || !page.catalog) return;
    const file = await readDropped(event.dataTransfer, page.catalog.largestFileBytes);
    if (file === null) return;
    if (file.tooLarge) {
      await page.inform(page.texts.fileTooLarge);
      return;
    }
    if (file.bytes === null) {
      await page.inform(page.texts.openFailed);
      return;
    }
    await openBytes(file.name, file.bytes);
  }

  // The trace as the core wrote it, CR LF included: no second copy is made.
  function resultBytes() {
    return page.pane2.bytes();
  }

  async function askFileName(title) {
    const name = await inputBox({title, text: '文件名：', defaultText: saveName || 'matcalc.txt'});
    if (name === null || name.trim() === '') return null;
    return name.trim();
  }

  async function fileSave() {
    if (page.pane2.empty) {
      await page.inform(page.texts.saveEmpty);
      return;
    }
    if (!saveName) {
      const name = await askFileName('保存');
      if (name === null) {
        await page.inform(page.texts.saveCancelled);
        return;
      }
      saveName = name;
    }
    if (!download(saveName, resultBytes())) {
      await page.inform(page.texts.saveFailed);
      return;
    }
    page.setStatus(saveName);
  }

  async function fileSaveAs() {
    const name = await askFileName('另存为');
    if (name === null) {
      await page.inform(page.texts.saveAsCancelled);
      return;
    }
    if (!download(name, resultBytes())) {
      await page.inform(page.texts.saveFailed);
      return;
    }
    page.setStatus(name);
  }

  // A bundled example goes to the edit pane as an opened file does (the
  // result pane is emptied). A text of the user's is asked about first: only
  // an edit pane of blanks, of that example or of the one it showed before
  // is replaced at once (desk/examples.h).
  async function openExample(item) {
    const text = EXAMPLES[item];
    const path = page.catalog.examples[item];
    if (text === undefined || path === undefined) {
      await page.inform(page.texts.openFailed);
      return;
    }
    const current = toLines(page.pane1.value);
    const notLost = [text, exampleText].filter((kept) => kept !== null).map(toLines);
    if (!/^[ \t\r\n]*$/.test(current) && !notLost.includes(current)) {
      const reply = await messageBox({title: page.texts.replaceByExampleTitle,
                                      text: page.texts.replaceByExample, buttons: 'yesno',
                                      defaultButton: 'no', icon: 'question'});
      if (reply !== 'yes') return;
    }
    page.pane1.value = text;
    page.pane2.value = '';
    page.hints.changed();
    exampleText = text;
    saveName = '';
    page.setStatus(path.slice(path.lastIndexOf('/') + 1));
  }

  function fileNew() {
    page.pane1.value = '';
    page.pane2.value = '';
    page.hints.changed();
    page.setStatus(page.texts.statusNew);
  }

  return {fileNew, fileOpen, fileSave, fileSaveAs, dropped, openExample};
}
