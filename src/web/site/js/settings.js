// The display settings (font size, background, decimal digits), kept in the
// browser between visits.

const KEY = 'matcalc.display';
export const DEFAULTS = Object.freeze({fontPoints: 9, background: '', digits: 6});

export function loadSettings() {
  try {
    const stored = JSON.parse(localStorage.getItem(KEY) || '{}');
    const settings = {...DEFAULTS};
    if (Number.isInteger(stored.fontPoints) && stored.fontPoints >= 6 && stored.fontPoints <= 72) {
      settings.fontPoints = stored.fontPoints;
    }
    if (typeof stored.background === 'string' && /^#[0-9a-f]{6}$/i.test(stored.background)) {
      settings.background = stored.background;
    }
    // Only a setting the core could have given is taken back.
    if (Number.isInteger(stored.digits) && stored.digits >= 1 && stored.digits <= 15) {
      settings.digits = stored.digits;
    }
    return settings;
  } catch {
    return {...DEFAULTS};
  }
}

export function saveSettings(settings) {
  try {
    localStorage.setItem(KEY, JSON.stringify(settings));
  } catch {
    // Storage full or refused: the settings last for this visit.
  }
}

export function applyLook(settings, panes) {
  for (const pane of panes) {
    pane.applyStyle('fontSize', `${settings.fontPoints}pt`);
    pane.applyStyle('backgroundColor', settings.background || '');
  }
}
