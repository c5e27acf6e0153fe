// A pane: a text area for texts of ordinary size, and a read-only view that
// lays out only the lines and columns in sight for long ones. A browser's
// text area needs seconds per hundred thousand lines, a trace or an opened
// file may have millions, and a line of a trace of order 200 has 4 800
// characters.

import './lines.js';

// Past either limit a text is shown in the view.
const AREA_MAX_CHARS = 1 << 20;
const AREA_MAX_LINES = 10000;
// Browsers cap an element's height; beyond this the scroll position maps to
// a line proportionally.
const MAX_SCROLL_PX = 8_000_000;
// Drawn beyond half a screen on each side, so that a short scroll needs no
// redraw.
const SPARE_LINES = 20;
const SPARE_COLUMNS = 40;

function countLines(text, limit) {
  let lines = 1;
  for (let at = text.indexOf('\n'); at >= 0; at = text.indexOf('\n', at + 1)) {
    if (++lines > limit) return lines;
  }
  return lines;
}

export function fitsArea(text) {
  return text.length <= AREA_MAX_CHARS && countLines(text, AREA_MAX_LINES) <= AREA_MAX_LINES;
}

const decoder = new TextDecoder();

// A trace as the pieces the core handed over (what it wrote before a box,
// then what it wrote after), read as one run of bytes without joining them:
// a trace shown at a box stays where it is when the command goes on.
export class Chunks {
  constructor(pieces) {
    this.pieces = pieces.filter((piece) => piece.length > 0);
    // Where each piece starts in the whole.
    this.offsets = [];
    let length = 0;
    for (const piece of this.pieces) {
      this.offsets.push(length);
      length += piece.length;
    }
    this.length = length;
  }

  static of(bytes) {
    return bytes instanceof Chunks ? bytes : new Chunks([bytes]);
  }

  appended(bytes) {
    return new Chunks([...this.pieces, bytes]);
  }

  // The index of the piece that holds byte `at` (0 when there is none).
  pieceAt(at) {
    // The last piece starting at or before `at`, by halving: a trace handed
    // over at many boxes has as many pieces.
    let low = 0;
    let high = this.pieces.length - 1;
    while (low < high) {
      const middle = (low + high + 1) >> 1;
      if (this.offsets[middle] <= at) low = middle;
      else high = middle - 1;
    }
    return Math.max(0, low);
  }

  byte(at) {
    const index = this.pieceAt(at);
    return this.pieces[index][at - this.offsets[index]];
  }

  // The pieces of bytes start..end-1, as views.
  * views(start, end) {
    for (let index = this.pieceAt(start); index < this.pieces.length; ++index) {
      const offset = this.offsets[index];
      if (offset >= end) return;
      const piece = this.pieces[index];
      yield piece.subarray(Math.max(0, start - offset), Math.min(piece.length, end - offset));
    }
  }

  decode(start, end) {
    if (end <= start) return '';
    const index = this.pieceAt(start);
    const piece = this.pieces[index];
    const offset = this.offsets[index];
    if (end - offset <= piece.length) {
      return decoder.decode(piece.subarray(start - offset, end - offset));
    }
    // Across pieces a character may be split: decoded as a stream.
    const stream = new TextDecoder();
    let text = '';
    for (const view of this.views(start, end)) text += stream.decode(view, {stream: true});
    return text + stream.decode();
  }

  isAscii(start, end) {
    for (const view of this.views(start, end)) {
      for (let at = 0; at < view.length; ++at) {
        if (view[at] >= 0x80) return false;
      }
    }
    return true;
  }

  // Where each line break (LF) at or after `from` is.
  lineBreaks(from) {
    const breaks = [];
    for (let index = this.pieceAt(from); index < this.pieces.length; ++index) {
      const piece = this.pieces[index];
      const offset = this.offsets[index];
      for (let at = piece.indexOf(10, Math.max(0, from - offset)); at >= 0;
        at = piece.indexOf(10, at + 1)) {
        breaks.push(offset + at);
      }
    }
    return breaks;
  }

  // The whole as the core wrote it: its bytes, or the pieces they came in.
  get whole() {
    return this.pieces.length === 1 ? this.pieces[0] : this.pieces;
  }
}

function fitsAreaBytes(bytes) {
  if (bytes.length > AREA_MAX_CHARS) return false;
  let lines = 1;
  for (const view of bytes.views(0, bytes.length)) {
    for (let at = view.indexOf(10); at >= 0; at = view.indexOf(10, at + 1)) {
      if (++lines > AREA_MAX_LINES) return false;
    }
  }
  return true;
}

// Wide characters (Chinese, full-width forms) take two columns in the panes'
// monospaced font; a line is laid out by columns.
function isWide(code) {
  return (code >= 0x1100 && code <= 0x115f) || (code >= 0x2e80 && code <= 0xa4cf) ||
      (code >= 0xac00 && code <= 0xd7a3) || (code >= 0xf900 && code <= 0xfaff) ||
      (code >= 0xfe30 && code <= 0xfe4f) || (code >= 0xff00 && code <= 0xff60) ||
      (code >= 0xffe0 && code <= 0xffe6);
}

// The index of the character at `column` of `text` (the end past its last
// column), and how many columns that character starts past `column` (1 when
// a wide character straddles it and is skipped).
function indexAtColumn(text, column) {
  let at = 0;
  for (let index = 0; index < text.length; ++index) {
    if (at >= column) return {index, over: at - column};
    at += isWide(text.charCodeAt(index)) ? 2 : 1;
  }
  return {index: text.length, over: Math.max(0, at - column)};
}

const before = (a, b) => a.line < b.line || (a.line === b.line && a.col < b.col);

class LongTextView {
  constructor(host, label) {
    this.root = document.createElement('div');
    this.root.className = 'pane long-text';
    this.root.tabIndex = 0;
    this.root.setAttribute('role', 'textbox');
    this.root.setAttribute('aria-multiline', 'true');
    this.root.setAttribute('aria-readonly', 'true');
    this.root.setAttribute('aria-label', label);
    this.spacer = document.createElement('div');
    this.spacer.className = 'long-text-spacer';
    this.lines = document.createElement('pre');
    this.lines.className = 'long-text-lines';
    // One character of the font, for the width of a column.
    this.ruler = document.createElement('span');
    this.ruler.className = 'long-text-ruler';
    this.ruler.setAttribute('aria-hidden', 'true');
    this.ruler.textContent = '0'.repeat(64);
    this.root.append(this.spacer, this.lines, this.ruler);
    this.root.hidden = true;
    host.append(this.root);
    this.text = '';
    // A trace as the core wrote it (UTF-8, CR LF), kept as bytes: only the
    // lines in sight are decoded, and of those only the columns in sight.
    this.bytes = null;
    this.starts = new Uint32Array(1);
    this.count = 0;
    this.widest = 0;
    // Per line: 0 not looked at yet, 1 ASCII only (a column is a byte),
    // 2 other characters too.
    this.kinds = new Uint8Array(1);
    this.lineHeight = 16;
    this.columnWidth = 8;
    this.pending = false;
    // What is drawn: lines first..last-1, columns from..to-1, and for each
    // drawn line where its text starts in the drawing.
    this.drawn = null;
    // The selection, in lines and characters of a line: the view's own, since
    // the browser's ends with the lines it was made on.
    this.selection = null;
    this.dragging = null;
    this.root.addEventListener('scroll', () => this.schedule());
    new ResizeObserver(() => this.schedule()).observe(this.root);
    this.root.addEventListener('mousedown', (event) => this.pressed(event));
    this.root.addEventListener('keydown', (event) => {
      if ((event.ctrlKey || event.metaKey) && !event.altKey && event.key.toLowerCase() === 'a') {
        event.preventDefault();
        this.selectAll();
      }
    });
    // A selection made by touch is the browser's while it lasts; it is
    // taken over before a redraw ends it.
    document.addEventListener('selectionchange', () => this.tookNativeSelection());
    // Copying: the browser is told there is something to copy (it has no
    // selection of its own here), then given the selected text.
    document.addEventListener('beforecopy', (event) => {
      if (this.copying()) event.preventDefault();
    });
    document.addEventListener('copy', (event) => {
      if (!this.copying()) return;
      event.clipboardData.setData('text/plain', this.selectedText());
      event.preventDefault();
    });
  }

  // The whole text, decoded when asked for.
  value() {
    return this.bytes ? this.bytes.decode(0, this.bytes.length) : this.text;
  }

  // `bytes`: Chunks.
  setBytes(bytes) {
    this.text = '';
    this.bytes = bytes;
    const starts = [0];
    let widest = 0;
    for (const at of bytes.lineBreaks(0)) {
      widest = Math.max(widest, at - starts[starts.length - 1]);
      starts.push(at + 1);
    }
    widest = Math.max(widest, bytes.length - starts[starts.length - 1]);
    this.laidOut(starts, widest);
  }

  // More of the trace: only the new lines are looked at, and the view stays
  // where it is (the lines before are the same).
  appendBytes(bytes) {
    const from = this.bytes.length;
    this.bytes = this.bytes.appended(bytes);
    const breaks = this.bytes.lineBreaks(from);
    const last = this.count - 1;
    const starts = new Uint32Array(this.count + breaks.length);
    starts.set(this.starts.subarray(0, this.count));
    let widest = this.widest;
    let start = starts[last];
    let line = this.count;
    for (const at of breaks) {
      widest = Math.max(widest, at - start);
      start = at + 1;
      starts[line++] = start;
    }
    widest = Math.max(widest, this.bytes.length - start);
    const kinds = new Uint8Array(starts.length);
    kinds.set(this.kinds.subarray(0, this.count));
    kinds[last] = 0;  // its end may have grown
    this.starts = starts;
    this.count = starts.length;
    this.kinds = kinds;
    this.widest = widest;
    this.measure();
    this.render();
  }

  setText(text) {
    this.bytes = null;
    this.text = text;
    // Where each line starts; CR LF and LF both end a line.
    const starts = [0];
    let widest = 0;
    for (let at = text.indexOf('\n'); at >= 0; at = text.indexOf('\n', at + 1)) {
      widest = Math.max(widest, at - starts[starts.length - 1]);
      starts.push(at + 1);
    }
    widest = Math.max(widest, text.length - starts[starts.length - 1]);
    this.laidOut(starts, widest);
  }

  laidOut(starts, widest) {
    this.starts = Uint32Array.from(starts);
    this.count = starts.length;
    this.kinds = new Uint8Array(this.count);
    // In bytes or characters (a trace line has a few wide characters at most).
    this.widest = widest;
    this.selection = null;
    this.measure();
    this.root.scrollTop = 0;
    this.root.scrollLeft = 0;
    this.render();
  }

  measure() {
    const style = getComputedStyle(this.lines);
    const height = parseFloat(style.lineHeight);
    this.lineHeight = Number.isFinite(height) && height > 0 ? height
        : parseFloat(style.fontSize) * 1.35;
    const width = this.ruler.getBoundingClientRect().width / 64;
    this.columnWidth = width > 0 ? width : parseFloat(style.fontSize) * 0.6;
    this.spacer.style.height = `${Math.min(this.count * this.lineHeight, MAX_SCROLL_PX)}px`;
    this.spacer.style.width = `${Math.ceil((this.widest + 8) * this.columnWidth)}px`;
    this.drawn = null;
  }

  schedule() {
    if (this.pending) return;
    this.pending = true;
    requestAnimationFrame(() => {
      this.pending = false;
      this.render();
    });
  }

  // Where line `index` starts and ends (its CR left out), in bytes or
  // characters.
  span(index) {
    const start = this.starts[index];
    if (this.bytes) {
      let end = index + 1 < this.count ? this.starts[index + 1] - 1 : this.bytes.length;
      if (end > start && this.bytes.byte(end - 1) === 13) --end;
      return [start, end];
    }
    let end = index + 1 < this.count ? this.starts[index + 1] - 1 : this.text.length;
    if (end > start && this.text.charCodeAt(end - 1) === 13) --end;
    return [start, end];
  }

  line(index) {
    const [start, end] = this.span(index);
    return this.bytes ? this.bytes.decode(start, end) : this.text.slice(start, end);
  }

  // Whether line `index` holds only ASCII, so that its columns are its
  // characters (and its bytes): looked at once, when first drawn.
  ascii(index) {
    if (this.kinds[index] === 0) {
      const [start, end] = this.span(index);
      let plain = true;
      if (this.bytes) {
        plain = this.bytes.isAscii(start, end);
      } else {
        for (let at = start; at < end && plain; ++at) plain = this.text.charCodeAt(at) < 0x80;
      }
      this.kinds[index] = plain ? 1 : 2;
    }
    return this.kinds[index] === 1;
  }

  // Columns from..to-1 of line `index`: its text, the character it starts
  // at, and the blank put first when a wide character straddles `from`.
  piece(index, from, to) {
    if (this.ascii(index)) {
      const [start, end] = this.span(index);
      const first = Math.min(start + from, end);
      const last = Math.min(start + to, end);
      const text = this.bytes ? this.bytes.decode(first, last) : this.text.slice(first, last);
      return {text, start: first - start, pad: 0};
    }
    const whole = this.line(index);
    const head = indexAtColumn(whole, from);
    const end = Math.max(head.index, indexAtColumn(whole, to).index);
    return {text: ' '.repeat(head.over) + whole.slice(head.index, end), start: head.index,
            pad: head.over};
  }

  // The lines and columns in sight.
  sight() {
    const visible = Math.ceil(this.root.clientHeight / this.lineHeight) + 1;
    const full = this.count * this.lineHeight;
    let first;
    let top = null;
    if (full <= MAX_SCROLL_PX) {
      first = Math.floor(this.root.scrollTop / this.lineHeight);
    } else {
      const range = Math.max(1, MAX_SCROLL_PX - this.root.clientHeight);
      const fraction = Math.min(1, this.root.scrollTop / range);
      first = Math.floor(fraction * Math.max(0, this.count - visible + 1));
      top = this.root.scrollTop;
    }
    const column = Math.floor(this.root.scrollLeft / this.columnWidth);
    const columns = Math.ceil(this.root.clientWidth / this.columnWidth) + 1;
    return {first, last: Math.min(this.count, first + visible), top, column,
            endColumn: column + columns};
  }

  render() {
    if (this.root.hidden) return;
    const sight = this.sight();
    const drawn = this.drawn;
    // Scrolling within what is drawn moves it only; past it, a screenful
    // and more on each side is drawn again.
    if (drawn !== null && sight.top === null && drawn.top === null &&
        sight.first >= drawn.first && sight.last <= drawn.last &&
        (sight.column >= drawn.from || drawn.from === 0) &&
        (sight.endColumn <= drawn.to || drawn.to >= this.widest)) {
      return;
    }
    this.draw(sight);
  }

  draw(sight) {
    // Half a screen more on each side: a redraw stays small, and a wheel
    // step or two needs none.
    const lines = Math.ceil((sight.last - sight.first) / 2) + SPARE_LINES;
    const columns = Math.ceil((sight.endColumn - sight.column) / 2) + SPARE_COLUMNS;
    const first = sight.top === null ? Math.max(0, sight.first - lines) : sight.first;
    const last = Math.min(this.count, sight.last + lines);
    const from = Math.max(0, sight.column - columns);
    const to = sight.endColumn + columns;
    const top = sight.top === null ? first * this.lineHeight : sight.top;
    const offsets = [];
    const pieces = [];
    let length = 0;
    for (let i = first; i < last; ++i) {
      const piece = this.piece(i, from, to);
      piece.offset = length;
      offsets.push(piece);
      pieces.push(piece.text);
      length += piece.text.length + 1;
    }
    this.drawn = {first, last, from, to, top: sight.top, pieces: offsets};
    const text = pieces.join('\n');
    this.lines.style.transform =
        `translate(${(from * this.columnWidth).toFixed(2)}px, ${top.toFixed(2)}px)`;
    // The selection as a mark between the text before and after it.
    const range = this.selectionRange();
    if (range === null) {
      this.lines.textContent = text;
      return;
    }
    const start = this.drawnOffset(range[0], text.length);
    const end = this.drawnOffset(range[1], text.length);
    const mark = document.createElement('mark');
    mark.textContent = text.slice(start, end);
    this.lines.replaceChildren(text.slice(0, start), mark, text.slice(end));
  }

  // Where position `at` falls in the drawn text.
  drawnOffset(at, length) {
    const drawn = this.drawn;
    if (at.line < drawn.first) return 0;
    if (at.line >= drawn.last) return length;
    const piece = drawn.pieces[at.line - drawn.first];
    if (at.col < piece.start) return piece.offset;
    return piece.offset + Math.min(piece.pad + at.col - piece.start, piece.text.length);
  }

  // The selection from its first position to its last, or null when empty.
  selectionRange() {
    const selection = this.selection;
    if (selection === null) return null;
    const {anchor, focus} = selection;
    if (anchor.line === focus.line && anchor.col === focus.col) return null;
    return before(anchor, focus) ? [anchor, focus] : [focus, anchor];
  }

  get hasSelection() {
    return this.selectionRange() !== null;
  }

  selectAll() {
    if (this.count === 0) return;
    const last = this.count - 1;
    const [start, end] = this.span(last);
    const length = this.bytes ? this.bytes.decode(start, end).length : end - start;
    this.selection = {anchor: {line: 0, col: 0}, focus: {line: last, col: length}};
    this.draw(this.sight());
  }

  // Position `at` as an offset into the text (bytes or characters).
  textOffset(at) {
    const [start, end] = this.span(at.line);
    if (!this.bytes) return Math.min(start + at.col, end);
    if (this.ascii(at.line)) return Math.min(start + at.col, end);
    const head = this.line(at.line).slice(0, at.col);
    return start + new TextEncoder().encode(head).length;
  }

  // The selected text, line breaks as the text has them.
  selectedText() {
    const range = this.selectionRange();
    if (range === null) return '';
    const start = this.textOffset(range[0]);
    const end = this.textOffset(range[1]);
    return this.bytes ? this.bytes.decode(start, end) : this.text.slice(start, end);
  }

  // Whether a copy now is this view's: it has the focus and a selection.
  copying() {
    return !this.root.hidden && this.hasSelection &&
        (document.activeElement === this.root || this.root.contains(document.activeElement));
  }

  // The line and character under a point of the window, for the mouse.
  positionAt(x, y) {
    if (this.drawn === null) this.draw(this.sight());
    const box = this.lines.getBoundingClientRect();
    const line = Math.max(0, Math.min(this.count - 1,
                                      this.drawn.first + Math.floor((y - box.top) /
                                                                    this.lineHeight)));
    const column = Math.max(0, this.drawn.from + Math.round((x - box.left) / this.columnWidth));
    const [start, end] = this.span(line);
    if (this.ascii(line)) return {line, col: Math.min(column, end - start)};
    const found = indexAtColumn(this.line(line), column);
    return {line, col: found.index};
  }

  pressed(event) {
    if (event.button !== 0) return;
    // Not on the scroll bars.
    const box = this.root.getBoundingClientRect();
    if (event.clientX - box.left >= this.root.clientLeft + this.root.clientWidth ||
        event.clientY - box.top >= this.root.clientTop + this.root.clientHeight) {
      return;
    }
    // The browser's selection would end with the lines drawn now.
    event.preventDefault();
    this.root.focus({preventScroll: true});
    const at = this.positionAt(event.clientX, event.clientY);
    if (event.shiftKey && this.selection !== null) this.selection.focus = at;
    else this.selection = {anchor: at, focus: at};
    this.draw(this.sight());
    const drag = {x: event.clientX, y: event.clientY, frame: 0};
    this.dragging = drag;
    const move = (moved) => {
      drag.x = moved.clientX;
      drag.y = moved.clientY;
      this.dragTo();
    };
    const up = () => {
      window.removeEventListener('mousemove', move, true);
      window.removeEventListener('mouseup', up, true);
      cancelAnimationFrame(drag.frame);
      this.dragging = null;
    };
    window.addEventListener('mousemove', move, true);
    window.addEventListener('mouseup', up, true);
  }

  // The selection follows the pointer; past an edge the view scrolls, a
  // step a frame, faster the farther the pointer is.
  dragTo() {
    const drag = this.dragging;
    if (drag === null) return;
    cancelAnimationFrame(drag.frame);
    const box = this.root.getBoundingClientRect();
    const past = (value, low, high) => (value < low ? value - low : value > high ? value - high : 0);
    const dy = past(drag.y, box.top, box.top + this.root.clientHeight);
    const dx = past(drag.x, box.left, box.left + this.root.clientWidth);
    if (dy !== 0) this.root.scrollTop += dy;
    if (dx !== 0) this.root.scrollLeft += dx;
    this.render();
    this.selection.focus = this.positionAt(drag.x, drag.y);
    this.draw(this.sight());
    if (dx !== 0 || dy !== 0) drag.frame = requestAnimationFrame(() => this.dragTo());
  }

  // A selection the browser made in the drawn lines (by touch), in lines and
  // characters.
  tookNativeSelection() {
    if (this.root.hidden || this.drawn === null || this.dragging !== null) return;
    const native = document.getSelection();
    if (!native || native.isCollapsed || !this.lines.contains(native.anchorNode) ||
        !this.lines.contains(native.focusNode)) {
      return;
    }
    const anchor = this.drawnPosition(native.anchorNode, native.anchorOffset);
    const focus = this.drawnPosition(native.focusNode, native.focusOffset);
    if (anchor !== null && focus !== null) this.selection = {anchor, focus};
  }

  // The line and character at offset `offset` of node `node` of the drawing.
  drawnPosition(node, offset) {
    let at = 0;
    const walker = document.createTreeWalker(this.lines, NodeFilter.SHOW_TEXT);
    for (let text = walker.nextNode(); text !== null; text = walker.nextNode()) {
      if (text === node) {
        at += offset;
        break;
      }
      at += text.length;
    }
    const pieces = this.drawn.pieces;
    let index = pieces.length - 1;
    while (index > 0 && pieces[index].offset > at) --index;
    if (index < 0) return null;
    const piece = pieces[index];
    const within = Math.min(Math.max(0, at - piece.offset - piece.pad), piece.text.length);
    return {line: this.drawn.first + index, col: piece.start + within};
  }
}

export class Pane {
  constructor(area) {
    this.area = area;
    this.view = new LongTextView(area.parentElement, area.getAttribute('aria-label'));
    this.area.after(this.view.root);
    this.view.root.id = `${area.id}-view`;
    this.long = false;
    // Counts the texts set, so that a text can be told from another.
    this.revision = 0;
    // Called after a text is set (not after typing: the text area's input
    // event says that).
    this.onChange = null;
  }

  get value() {
    return this.long ? this.view.value() : this.area.value;
  }

  get empty() {
    return !this.long && this.area.value.length === 0;
  }

  // What the page holds of the text, in bytes: a long trace its UTF-8, a
  // string two bytes a character (in a text area twice).
  get heldBytes() {
    if (!this.long) return 4 * this.area.value.length;
    return this.view.bytes ? this.view.bytes.length : 2 * this.view.text.length;
  }

  // The text as UTF-8 with CR LF line breaks (a trace as the core wrote it:
  // its bytes, or the pieces they came in, never joined).
  bytes() {
    if (this.long && this.view.bytes) return this.view.bytes.whole;
    return new TextEncoder().encode(globalThis.matcalcLines.toCrLf(this.value));
  }

  // The text as it is held, to be put back without a copy.
  snapshot() {
    if (this.long && this.view.bytes) return {bytes: this.view.bytes, revision: this.revision};
    return {text: this.value, revision: this.revision};
  }

  restore(snapshot) {
    if (snapshot.revision === this.revision) return;
    if (snapshot.bytes) this.setBytes(snapshot.bytes);
    else this.value = snapshot.text;
  }

  // A trace from the core (UTF-8, CR LF; bytes or Chunks): a long one stays
  // bytes.
  setBytes(bytes) {
    const chunks = Chunks.of(bytes);
    if (fitsAreaBytes(chunks)) {
      this.value = chunks.decode(0, chunks.length);
      return;
    }
    ++this.revision;
    this.long = true;
    this.area.value = '';
    this.area.hidden = true;
    this.view.root.hidden = false;
    this.view.setBytes(chunks);
    this.onChange?.();
  }

  // What a command wrote after the trace the pane shows (UTF-8, CR LF): a
  // long trace takes it as a piece of its own, so the time is the new
  // bytes', not the whole trace's.
  appendBytes(bytes) {
    if (bytes.length === 0) return;
    if (this.long && this.view.bytes) {
      ++this.revision;
      this.view.appendBytes(bytes);
      this.onChange?.();
      return;
    }
    this.setBytes(new Chunks([this.bytes(), bytes]));
  }

  set value(text) {
    ++this.revision;
    if (fitsArea(text)) {
      this.long = false;
      this.view.text = '';
      this.view.bytes = null;
      this.view.root.hidden = true;
      this.area.hidden = false;
      this.area.value = text;
    } else {
      this.long = true;
      this.area.value = '';
      this.area.hidden = true;
      this.view.root.hidden = false;
      this.view.setText(text);
    }
    this.onChange?.();
  }

  // The element that shows the text now.
  get element() {
    return this.long ? this.view.root : this.area;
  }

  set readOnly(flag) {
    this.area.readOnly = flag;
  }

  restyle() {
    if (this.long) {
      this.view.measure();
      this.view.render();
    }
  }

  applyStyle(property, value) {
    this.area.style[property] = value;
    this.view.root.style[property] = value;
    this.restyle();
  }
}
