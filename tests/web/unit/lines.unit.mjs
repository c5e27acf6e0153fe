// The page's one line-break module, against the pane's and the core's forms.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import '../../../src/web/site/js/lines.js';

const {toLines, toCrLf} = globalThis.matcalcLines;

const rows = [
  // [name, text, as a pane holds it, as the core gets it]
  ['no breaks', '1 2', '1 2', '1 2'],
  ['CR LF', '1\r\n2\r\n', '1\n2\n', '1\r\n2\r\n'],
  ['lone LF', '1\n2', '1\n2', '1\r\n2'],
  ['lone CR', '1\r2', '1\n2', '1\r\n2'],
  ['LF CR is two breaks', '1\n\r2', '1\n\n2', '1\r\n\r\n2'],
  ['CR CR LF', '\r\r\n', '\n\n', '\r\n\r\n'],
];

for (const [name, text, lines, crLf] of rows) {
  test(`toLines: ${name}`, () => assert.equal(toLines(text), lines));
  test(`toCrLf: ${name}`, () => assert.equal(toCrLf(text), crLf));
  test(`a pane's text goes to the core and back unchanged: ${name}`, () => {
    assert.equal(toLines(toCrLf(lines)), lines);
  });
}
