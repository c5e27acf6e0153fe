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

  // toCrLf(text) in pieces of about `size` characters, for a Blob that is
  // then the only copy of a long trace besides the pane's own. A piece ends
  // after a line feed where it can, never between a CR and its LF nor inside
  // a surrogate pair, so the pieces make exactly the bytes of the whole.
  function toCrLfParts(text, size = 1 << 20) {
    const parts = [];
    for (let start = 0; start < text.length;) {
      let end = Math.min(text.length, start + size);
      if (end < text.length) {
        const feed = text.lastIndexOf('\n', end - 1);
        if (feed >= start) {
          end = feed + 1;
        } else {
          const unit = text.charCodeAt(end - 1);
          if ((unit === 13 && text.charCodeAt(end) === 10) || (unit >= 0xd800 && unit < 0xdc00)) {
            ++end;
          }
        }
      }
      parts.push(toCrLf(text.slice(start, end)));
      start = end;
    }
    return parts;
  }

  scope.matcalcLines = Object.freeze({toLines, toCrLf, toCrLfParts});
})(globalThis);
