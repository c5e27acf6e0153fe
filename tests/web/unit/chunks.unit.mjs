// A trace held in the pieces the core handed over reads as the same bytes
// held whole, wherever the pieces meet (in a line, in a CR LF, inside a
// character).
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {Chunks} from '../../../src/web/site/js/pane.js';

const whole = new TextEncoder().encode('以上是所要求解的矩阵：\r\n  4  1\r\n\r\n第 1 次：a(1,2) = 0.5\r\nend');
const decoder = new TextDecoder();

// Every way to cut the bytes in two, and some in three (one piece empty).
const cuts = [];
for (let at = 0; at <= whole.length; ++at) cuts.push([at]);
cuts.push([3, 3], [1, 2], [14, 30], [0, whole.length]);

function pieces(points) {
  const bounds = [0, ...points, whole.length];
  return bounds.slice(1).map((end, index) => whole.slice(bounds[index], end));
}

// Where characters start: ranges the view decodes begin and end there.
const starts = [];
for (let at = 0; at <= whole.length; ++at) {
  if (at === whole.length || (whole[at] & 0xc0) !== 0x80) starts.push(at);
}

const breaks = [];
for (let at = 0; at < whole.length; ++at) if (whole[at] === 10) breaks.push(at);

for (const points of cuts) {
  test(`cut at ${points.join(', ')}`, () => {
    const chunks = new Chunks(pieces(points));
    assert.equal(chunks.length, whole.length);
    for (let at = 0; at < whole.length; ++at) assert.equal(chunks.byte(at), whole[at]);
    for (const start of starts) {
      for (const end of starts.filter((end) => end >= start)) {
        const part = whole.subarray(start, end);
        assert.equal(chunks.decode(start, end), decoder.decode(part));
        assert.equal(chunks.isAscii(start, end), part.every((byte) => byte < 0x80));
      }
    }
    for (const from of [0, 5, breaks[1], breaks[1] + 1, whole.length]) {
      assert.deepEqual(chunks.lineBreaks(from), breaks.filter((at) => at >= from));
    }
    // Appending a piece is the same as having had it from the start.
    const head = Chunks.of(whole.slice(0, points[0]));
    assert.equal(head.appended(whole.slice(points[0])).decode(0, whole.length),
                 decoder.decode(whole));
  });
}

test('an empty trace', () => {
  for (const chunks of [new Chunks([]), Chunks.of(new Uint8Array(0))]) {
    assert.equal(chunks.length, 0);
    assert.equal(chunks.decode(0, 0), '');
    assert.deepEqual(chunks.lineBreaks(0), []);
    assert.equal(chunks.isAscii(0, 0), true);
  }
});
