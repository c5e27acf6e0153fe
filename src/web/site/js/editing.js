// The Edit menu: select all, cut, paste and delete act on the edit pane
// wherever the focus is, as the window's do; copy takes the result pane's
// selection when that pane was the last one used (on a phone the toolbar's
// 复制 is the only way to copy a long trace).
import './lines.js';

// Puts `text` on the clipboard, from a click or a key: through a copy event,
// which phones allow as well, else the asynchronous clipboard.
export function writeClipboard(text) {
  let written = false;
  const onBefore = (event) => {
    // There is something to copy although the browser sees no selection.
    event.preventDefault();
    event.stopImmediatePropagation();
  };
  const onCopy = (event) => {
    event.clipboardData.setData('text/plain', text);
    event.preventDefault();
    event.stopImmediatePropagation();
    written = true;
  };
  window.addEventListener('beforecopy', onBefore, true);
  window.addEventListener('copy', onCopy, true);
  try {
    document.execCommand('copy');
  } catch {
    // Not offered by this browser: the asynchronous clipboard below.
  } finally {
    window.removeEventListener('beforecopy', onBefore, true);
    window.removeEventListener('copy', onCopy, true);
  }
  if (!written && navigator.clipboard) {
    // No clipboard access granted: the clipboard keeps what it held.
    navigator.clipboard.writeText(text).catch(() => {});
  }
}

function selectionOf(pane) {
  if (pane.long) return pane.view.selectedText();
  return pane.area.value.slice(pane.area.selectionStart, pane.area.selectionEnd);
}

export function createEditing(page) {
  const {text1, text2, pane1, pane2} = page;
  let lastPane = pane1;
  for (const pane of [pane1, pane2]) {
    for (const node of [pane.area, pane.view.root]) {
      node.addEventListener('focus', () => { lastPane = pane; });
    }
  }

  function selectAll() {
    // A long text is shown read-only, and selected in its view.
    if (pane1.long) {
      pane1.view.root.focus();
      pane1.view.selectAll();
      return;
    }
    text1.focus();
    text1.setSelectionRange(0, text1.value.length);
  }

  function replaceSelection(replacement) {
    if (pane1.long) return;
    const start = text1.selectionStart;
    text1.setRangeText(replacement, start, text1.selectionEnd, 'end');
    text1.dispatchEvent(new Event('input'));
  }

  function copy() {
    let selected = lastPane === pane2 ? selectionOf(pane2) : '';
    if (selected.length === 0) selected = selectionOf(pane1);
    if (selected.length > 0) writeClipboard(selected);
  }

  function cut() {
    if (pane1.long) return;
    const selected = selectionOf(pane1);
    if (selected.length === 0) return;
    writeClipboard(selected);
    replaceSelection('');
  }

  async function paste() {
    let clip = '';
    try {
      clip = await navigator.clipboard.readText();
    } catch {
      return;
    }
    // An empty clipboard must not wipe out the selection.
    if (clip.length > 0) replaceSelection(globalThis.matcalcLines.toLines(clip));
  }

  function erase() {
    if (pane1.long) return;
    const focused = document.activeElement === text2 ? text2 : text1;
    // The caret at the very end of the focused pane: nothing after it.
    if (focused.value.length === text1.selectionStart) return;
    if (text1.selectionStart === text1.selectionEnd) {
      text1.setSelectionRange(text1.selectionStart, text1.selectionStart + 1);
    }
    replaceSelection('');
  }

  return {selectAll, cut, copy, paste, erase};
}
