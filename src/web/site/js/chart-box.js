// The 显示 menu's 收敛图 in the page: the chart of the last iterative
// command in a box, exportable as SVG and PNG.
import {customBox} from './boxes.js';
import {WIDTH, buildChart, pngBlob, svgFileText} from './chart.js';
import {download} from './files.js';

function button(label) {
  const node = document.createElement('button');
  node.type = 'button';
  node.textContent = label;
  return node;
}

// `plan`: the core's chart plan of the last iterative command, or null;
// `texts`: the catalog's texts (the box's title and buttons, what is said
// when there is nothing to draw, the give-up legend).
export function showChart(plan, texts) {
  return customBox(texts.chartTitle, 'none', (body, buttons, finish) => {
    body.classList.add('box-chart');
    // As wide as the box can be on this screen (its margins and padding
    // off); the files exported are the full-width chart whatever the screen.
    const room = Math.floor(Math.min(800, window.innerWidth - 24) - 30);
    const svg = buildChart(plan, texts.giveUpLegend, Math.min(WIDTH, room));
    const full = () => (svg.getAttribute('width') === String(WIDTH) ? svg
        : buildChart(plan, texts.giveUpLegend));
    const close = button(texts.close);
    close.addEventListener('click', () => finish(null));
    if (svg === null) {
      const note = document.createElement('p');
      note.textContent = texts.noChart;
      body.append(note);
      buttons.append(close);
      return {initialFocus: close, accept: () => null, cancel: () => null};
    }
    body.append(svg);
    const svgButton = button(texts.exportSvg);
    svgButton.addEventListener('click', () => {
      download(`${texts.chartTitle}.svg`, new TextEncoder().encode(svgFileText(full())));
    });
    const pngButton = button(texts.exportPng);
    pngButton.addEventListener('click', async () => {
      try {
        download(`${texts.chartTitle}.png`, new Uint8Array(await (await pngBlob(full())).arrayBuffer()));
      } catch {
        // The picture could not be drawn: nothing is offered.
      }
    });
    buttons.append(pngButton, svgButton, close);
    return {initialFocus: close, accept: () => null, cancel: () => null};
  });
}
