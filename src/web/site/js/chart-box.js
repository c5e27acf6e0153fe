// The 显示 menu's 收敛图 in the page: the chart of the last iterative
// command in a box, exportable as SVG and PNG.
import {customBox} from './boxes.js';
import {buildChart, pngBlob, svgFileText} from './chart.js';
import {download} from './files.js';

function button(label) {
  const node = document.createElement('button');
  node.type = 'button';
  node.textContent = label;
  return node;
}

// `series`: the core's series of the command captioned `caption`, or null.
export function showChart(series, caption) {
  return customBox('收敛图', 'none', (body, buttons, finish) => {
    body.classList.add('box-chart');
    const svg = buildChart(series, caption);
    const close = button('关闭');
    close.addEventListener('click', () => finish(null));
    if (svg === null) {
      const note = document.createElement('p');
      note.textContent = '还没有收敛过程可画：幂法、原点平移法、反幂法、两种雅可比法和三种迭代法' +
          '算完以后，这里画出它们的收敛过程。';
      body.append(note);
      buttons.append(close);
      return {initialFocus: close, accept: () => null, cancel: () => null};
    }
    body.append(svg);
    const svgButton = button('导出 SVG...');
    svgButton.addEventListener('click', () => {
      download('收敛图.svg', new TextEncoder().encode(svgFileText(svg)));
    });
    const pngButton = button('导出 PNG...');
    pngButton.addEventListener('click', async () => {
      try {
        download('收敛图.png', new Uint8Array(await (await pngBlob(svg)).arrayBuffer()));
      } catch {
        // The picture could not be drawn: nothing is offered.
      }
    });
    buttons.append(pngButton, svgButton, close);
    return {initialFocus: close, accept: () => null, cancel: () => null};
  });
}
