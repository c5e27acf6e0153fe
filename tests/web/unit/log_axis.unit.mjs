// The page's log-axis rule, in node: the same decades as the window's
// (tests/desk/test_log_axis.cpp holds the same table).
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {MOST_LOG_LABELS, planLogAxis, planLogDecades} from '../../../src/web/site/js/log-axis.js';

test('labels a round subset of the decades', () => {
  const cases = [
    [0.5, 3, -1, 1, 1, ['1E-1', '1', '1E+1']],
    [1e-20, 1e-20, -20, -19, 1, ['1E-20', '1E-19']],
    [1e-8, 1, -8, 0, 2, ['1E-8', '1E-6', '1E-4', '1E-2', '1']],
    [2e-159, 3, -159, 1, 20,
     ['1E-140', '1E-120', '1E-100', '1E-80', '1E-60', '1E-40', '1E-20', '1']],
    [1e-200, 1e20, -200, 20, 50, ['1E-200', '1E-150', '1E-100', '1E-50', '1']],
    [4.9e-324, 1.7e308, -324, 309, 100,
     ['1E-300', '1E-200', '1E-100', '1', '1E+100', '1E+200', '1E+300']],
  ];
  for (const [smallest, largest, low, high, step, labels] of cases) {
    const plan = planLogAxis(smallest, largest);
    assert.deepEqual([plan.low, plan.high, plan.step, plan.labels], [low, high, step, labels]);
  }
});

test('never more than eight labels, never an elided one', () => {
  for (let low = -330; low <= 0; low += 7) {
    for (let span = 1; span <= 640; span += 3) {
      const plan = planLogAxis(10 ** low, 10 ** (low + span));
      assert.ok(plan.labels.length >= 1 && plan.labels.length <= MOST_LOG_LABELS);
      assert.ok(plan.labels.every((l) => /^1(E[+-]\d+)?$/.test(l)));
    }
  }
});

test('the decades of a chart plan give the same labels', () => {
  assert.deepEqual(planLogDecades(-159, 1).labels, planLogAxis(2e-159, 3).labels);
  assert.deepEqual(planLogDecades(3, 3).labels, ['1E+3', '1E+4']);
});

test('bounds that are no range give one decade', () => {
  for (const [a, b] of [[0, 1], [-1, 1], [NaN, 1], [2, 1]]) {
    assert.deepEqual(planLogAxis(a, b).labels, ['1', '1E+1']);
  }
});
