// Line breaks: a pane holds one "\n" per line break; the core, saved files
// and the runner have CR LF. Every conversion of the page is one of these
// two. A plain script (no import or export), so that the workers load it with
// importScripts and the page's modules import it; both find it as
// globalThis.matcalcLines.
(function (scope) {
  'use strict';

  // CR LF (or a lone CR) becomes one line break, as a pane holds it.
  function toLines(text) {
    return text.replace(/\r\n|\r/g, '\n');
  }

  // Every line break (CR LF, a lone CR or a lone LF) as CR LF.
  function toCrLf(text) {
    return text.replace(/\r\n|\r|\n/g, '\r\n');
  }

  scope.matcalcLines = Object.freeze({toLines, toCrLf});
})(globalThis);
