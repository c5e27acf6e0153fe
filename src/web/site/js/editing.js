// The Edit menu: select all, cut, copy, paste and delete act on the edit pane
// wherever the focus is, as the window's do.
import './lines.js';

export function createEditing(page) {
  const {text1, text2, pane1} = page;

  function selectAll() {
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

  async function copy() {
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

  async function cut() {
    if (await copy()) replaceSelection('');
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
