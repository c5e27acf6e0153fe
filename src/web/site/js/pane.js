// A pane: a text area for texts of ordinary size, and a read-only view that
// lays out only the lines in sight for long ones. A browser's text area needs
// seconds per hundred thousand lines, and a trace or an opened file may have
// millions.

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
    this.starts = new Uint32Array(1);
    this.count = 0;
    this.lineHeight = 16;
    this.pending = false;
    this.root.addEventListener('scroll', () => this.schedule());
    new ResizeObserver(() => this.schedule()).observe(this.root);
  }

  setText(text) {
    this.text = text;
    // Where each line starts; CR LF and LF both end a line.
    const starts = [0];
    let widest = 0;
    for (let at = text.indexOf('\n'); at >= 0; at = text.indexOf('\n', at + 1)) {
      widest = Math.max(widest, at - starts[starts.length - 1]);
      starts.push(at + 1);
    }
    widest = Math.max(widest, text.length - starts[starts.length - 1]);
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
  }

  get value() {
    return this.long ? this.view.text : this.area.value;
  }

  set value(text) {
    if (fitsArea(text)) {
      this.long = false;
      this.view.text = '';
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
