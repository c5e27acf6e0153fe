// The display settings (font size, background, decimal digits, exact
// fractions), kept in the browser between visits.

const KEY = 'matcalc.display';

// The look at start, and the decimal digits' value at start from the core's
// catalog (`digits`: {min, max, start}).
export function defaults(digits) {
  return {fontPoints: 9, background: '', digits: digits.start, exact: false};
}

// The stored settings; the digits are settled once the catalog is known.
export function loadSettings() {
  const settings = {fontPoints: 9, background: '', digits: null, exact: false};
  try {
    const stored = JSON.parse(localStorage.getItem(KEY) || '{}');
    if (Number.isInteger(stored.fontPoints) && stored.fontPoints >= 6 && stored.fontPoints <= 72) {
      settings.fontPoints = stored.fontPoints;
    }
    if (typeof stored.background === 'string' && /^#[0-9a-f]{6}$/i.test(stored.background)) {
      settings.background = stored.background;
    }
    if (Number.isInteger(stored.digits)) settings.digits = stored.digits;
    if (stored.exact === true) settings.exact = true;
  } catch {
    // Nothing stored, or not readable: the defaults.
  }
  return settings;
}

// Only digits the core could have given are kept; others are the start value.
export function settleDigits(settings, digits) {
  const value = settings.digits;
  if (!Number.isInteger(value) || value < digits.min || value > digits.max) {
    settings.digits = digits.start;
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
