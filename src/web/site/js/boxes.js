// In-page modal boxes: input boxes and message boxes as the window shows
// them. Every text is set as text, never as markup.

import './lines.js';

let programTitle = '';
let serial = 0;

export function setProgramTitle(title) {
  programTitle = title;
}

const {toLines} = globalThis.matcalcLines;

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

// Shows a modal box; `build` fills its body and returns {initialFocus,
// accept, cancel}; resolves with what accept or cancel return.
function showBox(title, icon, build) {
  return new Promise((resolve) => {
    const dialog = element('dialog', 'box');
    const id = `box-title-${++serial}`;
    dialog.setAttribute('aria-labelledby', id);
    const heading = element('div', 'box-title', title || programTitle);
    heading.id = id;
    const body = element('div', 'box-body');
    if (icon && icon !== 'none') body.classList.add(`icon-${icon}`);
    const buttons = element('div', 'box-buttons');
    dialog.append(heading, body, buttons);
    document.body.append(dialog);
    // The focus goes back where it was when the box closes.
    const before = document.activeElement;

    let finished = false;
    const finish = (value) => {
      if (finished) return;
      finished = true;
      dialog.close();
      dialog.remove();
      if (before && before !== document.body && before.isConnected) before.focus();
      resolve(value);
    };
    const behaviour = build(body, buttons, finish);
    dialog.addEventListener('cancel', (event) => {
      event.preventDefault();
      finish(behaviour.cancel());
    });
    dialog.addEventListener('keydown', (event) => {
      // Keys pressed in a box are the box's alone (Esc here is no stop).
      event.stopPropagation();
      if (event.key === 'Escape') {
        event.preventDefault();
        finish(behaviour.cancel());
      } else if (event.key === 'Enter' && !event.isComposing) {
        // Enter presses the focused button, or the default one when the
        // focus is in the text field.
        event.preventDefault();
        if (event.target instanceof HTMLButtonElement) event.target.click();
        else finish(behaviour.accept());
      }
    });
    dialog.showModal();
    behaviour.initialFocus.focus();
    if (behaviour.initialFocus.select) behaviour.initialFocus.select();
  });
}

function button(label, isDefault) {
  const node = element('button', isDefault ? 'default' : '', label);
  node.type = 'button';
  return node;
}

// An input box: resolves with the text confirmed, or null when cancelled.
// A `numeric` box asks for a number: a phone shows its keypad of digits.
export function inputBox({title, text, defaultText, numeric = false}) {
  return showBox(title, 'none', (body, buttons, finish) => {
    const label = element('label', 'box-prompt', toLines(text));
    const input = element('input', 'box-input');
    input.type = 'text';
    if (numeric) input.inputMode = 'decimal';
    input.value = defaultText || '';
    input.autocomplete = 'off';
    input.spellcheck = false;
    input.id = `box-input-${serial}`;
    label.htmlFor = input.id;
    body.append(label, input);
    const ok = button('确定', true);
    const cancel = button('取消', false);
    ok.addEventListener('click', () => finish(input.value));
    cancel.addEventListener('click', () => finish(null));
    buttons.append(ok, cancel);
    return {initialFocus: input, accept: () => input.value, cancel: () => null};
  });
}

// A message box: resolves with 'ok', 'yes' or 'no'.
export function messageBox({title, text, buttons: kind = 'ok', defaultButton = 'yes',
                            icon = 'none'}) {
  return showBox(title, icon, (body, buttons, finish) => {
    // The text is what the box asks: read with its title.
    const prompt = element('p', 'box-prompt', toLines(text));
    prompt.id = `box-text-${serial}`;
    body.closest('dialog').setAttribute('aria-describedby', prompt.id);
    body.append(prompt);
    if (kind === 'yesno') {
      const yes = button('是', defaultButton === 'yes');
      const no = button('否', defaultButton === 'no');
      yes.addEventListener('click', () => finish('yes'));
      no.addEventListener('click', () => finish('no'));
      buttons.append(yes, no);
      const focused = defaultButton === 'no' ? no : yes;
      return {initialFocus: focused, accept: () => (defaultButton === 'no' ? 'no' : 'yes'),
              cancel: () => 'no'};
    }
    const ok = button('确定', true);
    ok.addEventListener('click', () => finish('ok'));
    buttons.append(ok);
    return {initialFocus: ok, accept: () => 'ok', cancel: () => 'ok'};
  });
}

// A box of another module's making: `build(body, buttons, finish)` as for
// the boxes here.
export {showBox as customBox};

// A box of the page's own (font size, background colour): `fields` builds
// the controls into the body and returns {focus, value}; resolves with
// value() on 确定, or null on 取消 or Esc.
export function formBox(title, fields) {
  return showBox(title, 'none', (body, buttons, finish) => {
    const form = fields(body);
    const ok = button('确定', true);
    const cancel = button('取消', false);
    ok.addEventListener('click', () => finish(form.value()));
    cancel.addEventListener('click', () => finish(null));
    buttons.append(ok, cancel);
    return {initialFocus: form.focus, accept: () => form.value(), cancel: () => null};
  });
}

// A box showing a page of the manual, or any other frame.
export function frameBox(title, source) {
  return showBox(title, 'none', (body, buttons, finish) => {
    body.classList.add('box-frame');
    const frame = document.createElement('iframe');
    frame.src = source;
    frame.title = title;
    // Keys pressed in the frame are its document's: Esc there closes the
    // box too, on every page the frame shows.
    frame.addEventListener('load', () => {
      try {
        frame.contentDocument?.addEventListener('keydown', (event) => {
          if (event.key === 'Escape') {
            event.preventDefault();
            finish(null);
          }
        });
      } catch {
        // A page of another origin keeps its keys.
      }
    });
    body.append(frame);
    const ok = button('确定', true);
    ok.addEventListener('click', () => finish(null));
    buttons.append(ok);
    return {initialFocus: ok, accept: () => null, cancel: () => null};
  });
}
