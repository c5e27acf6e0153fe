// The catalog as the core writes it: the native runner's test program prints
// it (MATCALC_CATALOG names a file holding it), else the copy kept here of
// the keys the page's pure modules read.
import {readFileSync} from 'node:fs';

const kept = {
  toolbar: ['新建', '打开', '保存', '另存为', '剪切', '复制', '粘贴'],
  toolbarItems: {'新建': 'FileNew', '打开': 'FileOpen', '保存': 'FileSave', '另存为': 'FileSaveAs',
                 '剪切': 'EditCut', '复制': 'EditCopy', '粘贴': 'EditPaste'},
  busyItems: ['FileNew', 'FileOpen', 'FileSave', 'FileSaveAs', 'EditCut', 'EditPaste',
              'EditDelete', 'ShowDefault', 'ShowFormatDecimalDigits', 'ShowExactFractions'],
  shortcuts: {'Ctrl+N': 'FileNew', 'Ctrl+O': 'FileOpen', 'Ctrl+S': 'FileSave'},
};

export const catalog = process.env.MATCALC_CATALOG
  ? JSON.parse(readFileSync(process.env.MATCALC_CATALOG, 'utf8')) : kept;
