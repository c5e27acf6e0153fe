// The page's reading of the catalog, on the catalog the core writes.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {busyToolKeys, shortcutItem} from '../../../src/web/site/js/catalog.js';
import {catalog} from './core-catalog.mjs';

test('the buttons disabled while a command runs are those of busy items', () => {
  // 复制 stays: copying never changes a pane, in the page as in the window.
  assert.deepEqual(busyToolKeys(catalog), ['新建', '打开', '保存', '另存为', '剪切', '粘贴']);
});

const keys = [
  // [name, key event, item]
  ['Ctrl+S saves', {key: 's', ctrlKey: true}, 'FileSave'],
  ['with Shift too', {key: 'S', ctrlKey: true, shiftKey: true}, 'FileSave'],
  ['Cmd+O opens', {key: 'o', metaKey: true}, 'FileOpen'],
  ['Ctrl+N', {key: 'n', ctrlKey: true}, 'FileNew'],
  ['not with Alt', {key: 'n', ctrlKey: true, altKey: true}, null],
  ['not without Ctrl', {key: 'n'}, null],
  ['the browser keeps Ctrl+C', {key: 'c', ctrlKey: true}, null],
  ['the browser keeps Ctrl+P', {key: 'p', ctrlKey: true}, null],
];
for (const [name, event, item] of keys) {
  test(`shortcut: ${name}`, () => assert.equal(shortcutItem(catalog, event), item));
}
