// Hints while typing in the page: after a pause in typing, the status line
// says how the edit pane's text will be read, and the entries read only in
// part or not at all are underlined by a layer laid exactly over the text
// area; the caret or the pointer on such an entry shows the value read. The
// reading is the core's, in a worker of its own.
import {CoreWorker} from './core.js';

const PAUSE_MS = 250;
// Longer texts are shown by the pane's read-only view: no layer then.
const MOST_MARKED_CHARS = 1 << 20;

export class Hints {
  // `area`: the edit pane's text area; `text()`: the pane's text (a long
  // one is shown by the pane's view instead); `show(text)`: the hints' place
  // in the status line.
  constructor(area, text, show) {
    this.area = area;
    this.text = text;
    this.show = show;
    this.worker = new CoreWorker('hints-worker.js');
    this.worker.onmessage = (event) => this.received(event.data);
    this.nextId = 1;
    this.asked = 0;
    this.timer = 0;
    this.current = {summary: '', marks: []};
    this.layer = document.createElement('div');
    this.layer.className = 'hint-layer';
    this.layer.setAttribute('aria-hidden', 'true');
    area.after(this.layer);
    area.addEventListener('input', () => this.schedule());
    area.addEventListener('scroll', () => this.place());
    area.addEventListener('keyup', () => this.caret());
    area.addEventListener('click', () => this.caret());
    area.addEventListener('mousemove', (event) => this.hover(event));
    new ResizeObserver(() => this.place()).observe(area);
    this.schedule();
  }

  // The text was set from outside (an open, a new document).
  changed() {
    this.schedule();
  }

  schedule() {
    clearTimeout(this.timer);
    this.timer = setTimeout(() => this.ask(), PAUSE_MS);
  }

  ask() {
    this.asked = this.nextId++;
    this.worker.postMessage({id: this.asked, text: this.text()});
  }

  received({id, hints}) {
    if (id !== this.asked || hints === null) return;  // overtaken by newer text
    this.current = hints;
    this.show(hints.summary);
    this.draw();
    document.body.dataset.hints = String(id);
  }

  // The layer: the same text, transparent, with the marks visible.
  draw() {
    this.layer.replaceChildren();
    const text = this.text();
    if (this.area.hidden || text !== this.area.value || text.length > MOST_MARKED_CHARS || this.current.marks.length === 0) {
      this.layer.hidden = true;
      return;
    }
    let at = 0;
    for (const [start, end, tip] of this.current.marks) {
      if (start < at || end > text.length) continue;
      this.layer.append(text.slice(at, start));
      const mark = document.createElement('mark');
      mark.className = 'partly-read';
      mark.dataset.tip = tip;
      mark.textContent = text.slice(start, end);
      this.layer.append(mark);
      at = end;
    }
    this.layer.append(text.slice(at) + '\n');
    this.layer.hidden = false;
    this.place();
  }

  place() {
    if (this.layer.hidden) return;
    const area = this.area;
    this.layer.style.left = `${area.offsetLeft}px`;
    this.layer.style.top = `${area.offsetTop}px`;
    this.layer.style.width = `${area.clientWidth}px`;
    this.layer.style.height = `${area.clientHeight}px`;
    this.layer.scrollTop = area.scrollTop;
    this.layer.scrollLeft = area.scrollLeft;
  }

  tipAt(index) {
    for (const [start, end, tip] of this.current.marks) {
      if (index >= start && index <= end) return tip;
    }
    return '';
  }

  caret() {
    const tip = this.tipAt(this.area.selectionStart);
    this.show(tip || this.current.summary);
  }

  hover(event) {
    let tip = '';
    for (const mark of this.layer.querySelectorAll('mark')) {
      const box = mark.getBoundingClientRect();
      if (event.clientX >= box.left && event.clientX <= box.right && event.clientY >= box.top &&
          event.clientY <= box.bottom) {
        tip = mark.dataset.tip;
        break;
      }
    }
    this.area.title = tip;
  }
}
