// The Display menu: the panes' font size and background, their defaults, the
// decimal digits (asked by the core's prompt) and the exact fractions, all
// kept in the browser.
import {formBox} from './boxes.js';
import {applyLook, defaults, saveSettings} from './settings.js';

export function createDisplay(page, runs) {
  const {settings, panes} = page;

  // The exact-fractions setting as the page shows it: its item checked and
  // the status line's panel.
  function showExact() {
    if (page.menuBar) page.menuBar.setChecked('ShowExactFractions', settings.exact === true);
    const panel = document.getElementById('exact-panel');
    if (!panel) return;
    if (page.texts && page.texts.exactPanel) panel.textContent = page.texts.exactPanel;
    panel.hidden = settings.exact !== true;
  }

  function changed() {
    applyLook(settings, panes);
    showExact();
    saveSettings(settings);
  }

  // A box with one labelled field; resolves with `read(field)`, or null.
  function fieldBox(title, caption, field, read) {
    return formBox(title, (body) => {
      const label = document.createElement('label');
      label.className = 'box-prompt';
      label.textContent = caption;
      label.htmlFor = field.id;
      body.append(label, field);
      return {focus: field, value: () => read(field)};
    });
  }

  function showStyle() {
    const size = document.createElement('input');
    size.type = 'number';
    size.min = '6';
    size.max = '72';
    size.value = String(settings.fontPoints);
    size.className = 'box-input';
    size.id = 'font-size';
    fieldBox('字体', '字号（磅）：', size, (field) => Number(field.value)).then((points) => {
      if (points === null || !Number.isInteger(points) || points < 6 || points > 72) return;
      settings.fontPoints = points;
      changed();
    });
  }

  function showBackcolor() {
    const colour = document.createElement('input');
    colour.type = 'color';
    colour.value = settings.background || '#ffffff';
    colour.id = 'background-colour';
    fieldBox('背景', '背景颜色：', colour, (field) => field.value).then((chosen) => {
      if (chosen === null) return;
      settings.background = chosen;
      changed();
    });
  }

  function showDefault() {
    Object.assign(settings, defaults(page.catalog.digits));
    changed();
  }

  async function askDigits() {
    const outcome = await runs.busy(() => runs.engine.run({type: 'run', op: 'digits',
                                                           digits: settings.digits}));
    if (outcome === null) return;
    settings.digits = outcome.digits;
    saveSettings(settings);
  }

  function toggleExact() {
    settings.exact = settings.exact !== true;
    changed();
  }

  return {showStyle, showBackcolor, showDefault, askDigits, toggleExact, showExact};
}
