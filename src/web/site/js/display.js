// The Display menu: the panes' font size and background, their defaults, and
// the decimal digits (asked by the core's prompt), all kept in the browser.
import {formBox} from './boxes.js';
import {DEFAULTS, applyLook, saveSettings} from './settings.js';

export function createDisplay(page, runs) {
  const {settings, panes} = page;

  function changed() {
    applyLook(settings, panes);
    saveSettings(settings);
  }

  function showStyle() {
    formBox('字体', (body) => {
      const label = document.createElement('label');
      label.className = 'box-prompt';
      label.textContent = '字号（磅）：';
      const size = document.createElement('input');
      size.type = 'number';
      size.min = '6';
      size.max = '72';
      size.value = String(settings.fontPoints);
      size.className = 'box-input';
      size.id = 'font-size';
      label.htmlFor = size.id;
      body.append(label, size);
      return {focus: size, value: () => Number(size.value)};
    }).then((points) => {
      if (points === null || !Number.isInteger(points) || points < 6 || points > 72) return;
      settings.fontPoints = points;
      changed();
    });
  }

  function showBackcolor() {
    formBox('背景', (body) => {
      const label = document.createElement('label');
      label.className = 'box-prompt';
      label.textContent = '背景颜色：';
      const colour = document.createElement('input');
      colour.type = 'color';
      colour.value = settings.background || '#ffffff';
      colour.id = 'background-colour';
      label.htmlFor = colour.id;
      body.append(label, colour);
      return {focus: colour, value: () => colour.value};
    }).then((colour) => {
      if (colour === null) return;
      settings.background = colour;
      changed();
    });
  }

  function showDefault() {
    Object.assign(settings, DEFAULTS);
    changed();
  }

  async function askDigits() {
    const outcome = await runs.busy(() => runs.engine.run({type: 'run', op: 'digits',
                                                           digits: settings.digits}));
    if (outcome === null) return;
    settings.digits = outcome.digits;
    saveSettings(settings);
  }

  return {showStyle, showBackcolor, showDefault, askDigits};
}
