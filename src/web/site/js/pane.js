// A pane: a text area for texts of ordinary size, and a read-only view that
// lays out only the lines in sight for long ones. A browser's text area needs
// seconds per hundred thousand lines, and a trace or an opened file may have
// millions.

import './lines.js';

// Past either limit a text is shown in the view.
const AREA_MAX_CHARS = 1 << 20;
const AREA_MAX_LINES = 10000;
// Browsers cap an element's height; beyond this the scroll position maps to
// a line proportionally.
const MAX_SCROLL_PX = 8_000_000;
const SPARE_LINES = 20;

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

function fitsAreaBytes(bytes) {
  if (bytes.length > AREA_MAX_CHARS) return false;
  let lines = 1;
  for (let at = bytes.indexOf(10); at >= 0; at = bytes.indexOf(10, at + 1)) {
    if (++lines > AREA_MAX_LINES) return false;
  }
  return true;
}

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
    this.root.append(this.spacer, this.lines);
    this.root.hidden = true;
    host.append(this.root);
    this.text = '';
    // A trace as the core wrote it (UTF-8, CR LF), kept as bytes: only the
    // lines in sight are decoded.
    this.bytes = null;
    this.starts = new Uint32Array(1);
    this.count = 0;
    this.lineHeight = 16;
    this.pending = false;
    this.root.addEventListener('scroll', () => this.schedule());
    new ResizeObserver(() => this.schedule()).observe(this.root);
  }

  // The whole text, decoded when asked for.
  value() {
    return this.bytes ? decoder.decode(this.bytes) : this.text;
  }

  setBytes(bytes) {
    this.text = '';
    this.bytes = bytes;
    const starts = [0];
    let widest = 0;
    for (let at = bytes.indexOf(10); at >= 0; at = bytes.indexOf(10, at + 1)) {
      widest = Math.max(widest, at - starts[starts.length - 1]);
      starts.push(at + 1);
    }
    widest = Math.max(widest, bytes.length - starts[starts.length - 1]);
    this.laidOut(starts, widest);
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
    // Chinese characters take two columns; a trace line has a few at most.
    this.spacer.style.width = `${widest + 8}ch`;
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
    this.spacer.style.height = `${Math.min(this.count * this.lineHeight, MAX_SCROLL_PX)}px`;
  }

  schedule() {
    if (this.pending) return;
    this.pending = true;
    requestAnimationFrame(() => {
      this.pending = false;
      this.render();
    });
  }

  line(index) {
    const start = this.starts[index];
    if (this.bytes) {
      let end = index + 1 < this.count ? this.starts[index + 1] - 1 : this.bytes.length;
      if (end > start && this.bytes[end - 1] === 13) --end;
      return decoder.decode(this.bytes.subarray(start, end));
    }
    let end = index + 1 < this.count ? this.starts[index + 1] - 1 : this.text.length;
    if (end > start && this.text.charCodeAt(end - 1) === 13) --end;
    return this.text.slice(start, end);
  }

  render() {
    if (this.root.hidden) return;
    const visible = Math.ceil(this.root.clientHeight / this.lineHeight) + 1;
    const full = this.count * this.lineHeight;
    let first;
    let top;
    if (full <= MAX_SCROLL_PX) {
      first = Math.max(0, Math.floor(this.root.scrollTop / this.lineHeight) - SPARE_LINES);
      top = first * this.lineHeight;
    } else {
      const range = Math.max(1, MAX_SCROLL_PX - this.root.clientHeight);
      const fraction = Math.min(1, this.root.scrollTop / range);
      first = Math.floor(fraction * Math.max(0, this.count - visible + 1));
      top = this.root.scrollTop;
    }
    const last = Math.min(this.count, first + visible + 2 * SPARE_LINES);
    const shown = [];
    for (let i = first; i < last; ++i) shown.push(this.line(i));
    this.lines.style.transform = `translateY(${top}px)`;
    this.lines.textContent = shown.join('\n');
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

  // The text as UTF-8 with CR LF line breaks (a trace as the core wrote it).
  bytes() {
    if (this.long && this.view.bytes) return this.view.bytes;
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

  // A trace from the core (UTF-8, CR LF): a long one stays bytes.
  setBytes(bytes) {
    if (fitsAreaBytes(bytes)) {
      this.value = decoder.decode(bytes);
      return;
    }
    ++this.revision;
    this.long = true;
    this.area.value = '';
    this.area.hidden = true;
    this.view.root.hidden = false;
    this.view.setBytes(bytes);
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
