// The page's print: only the trace, as the window prints it: a monospaced
// CJK font with the 24-character columns aligned, a header with the method's
// caption and the date on every page, page numbers, and a wide trace on
// landscape paper set smaller; lines wider still wrap, so no number is cut.
// The browser's print and save-as-PDF give the same document.
import './lines.js';

const CELLS_PORTRAIT = 100;   // 9 pt on A4 portrait between 15 mm margins
const CELLS_LANDSCAPE = 150;  // the same on landscape
const CELLS_SMALL = 200;      // 6.5 pt on landscape

// The cells `line` takes in the print's font: two for a character in one of
// the `wide` ranges ([first, last] code points, the core's table from the
// catalog), one for any other.
function cells(line, wide) {
  let width = 0;
  for (const c of line) {
    const code = c.codePointAt(0);
    width += code >= 0x1100 && wide.some(([first, last]) => code >= first && code <= last) ? 2 : 1;
  }
  return width;
}

export class PrintView {
  // `trace()`: the result pane's text; `header()`: the header's caption
  // (the core's print caption); `wide()`: the ranges of characters that take
  // two cells.
  constructor(trace, header, wide) {
    this.trace = trace;
    this.header = header;
    this.wide = wide;
    this.root = document.createElement('table');
    this.root.id = 'print-view';
    this.root.className = 'print-view';
    const head = this.root.createTHead().insertRow().insertCell();
    head.className = 'print-header';
    this.title = document.createElement('span');
    this.date = document.createElement('span');
    this.date.className = 'print-date';
    head.append(this.title, this.date);
    this.body = document.createElement('pre');
    this.body.className = 'print-trace';
    this.root.createTBody().insertRow().insertCell().append(this.body);
    document.body.append(this.root);
    window.addEventListener('beforeprint', () => this.update());
  }

  update() {
    const text = globalThis.matcalcLines.toLines(this.trace()).replace(/\n$/, '');
    const wide = this.wide();
    let widest = 0;
    for (const line of text.split('\n')) widest = Math.max(widest, cells(line, wide));
    this.title.textContent = this.header();
    const now = new Date();
    const two = (n) => String(n).padStart(2, '0');
    this.date.textContent = `${now.getFullYear()}-${two(now.getMonth() + 1)}-${two(now.getDate())} ` +
        `${two(now.getHours())}:${two(now.getMinutes())}`;
    this.body.textContent = text;
    document.body.classList.toggle('print-wide', widest > CELLS_PORTRAIT);
    document.body.classList.toggle('print-wider', widest > CELLS_LANDSCAPE);
    document.body.classList.toggle('print-widest', widest > CELLS_SMALL);
  }
}
