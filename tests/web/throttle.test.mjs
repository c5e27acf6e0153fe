// Work budgets that know the device: the page's worker measures how fast it
// computes once as the page loads, and the budgets scale the commands' work
// by it, at full speed and with the processor (workers included) slowed
// down four times by Chromium's CPU throttling.
import {test, expect} from '@playwright/test';
import {choose, editPane, openPage} from './support.mjs';

// Throttles the page's processor `rate` times, its workers included: each
// worker is held as it starts until it is throttled too.
async function throttle(context, page, rate) {
  const cdp = await context.newCDPSession(page);
  await cdp.send('Emulation.setCPUThrottlingRate', {rate});
  let id = 0;
  const toWorker = (sessionId, method, params = {}) => cdp.send('Target.sendMessageToTarget', {
    sessionId, message: JSON.stringify({id: ++id, method, params})});
  cdp.on('Target.attachedToTarget', async ({sessionId, targetInfo}) => {
    if (targetInfo.type === 'worker') {
      await toWorker(sessionId, 'Emulation.setCPUThrottlingRate', {rate}).catch(() => {});
    }
    await toWorker(sessionId, 'Runtime.runIfWaitingForDebugger').catch(() => {});
  });
  await cdp.send('Target.setAutoAttach', {autoAttach: true, waitForDebuggerOnStart: true,
                                          flatten: false});
}

async function workScale(page) {
  await page.waitForFunction(() => document.documentElement.dataset.workScale !== undefined);
  return Number(await page.evaluate(() => document.documentElement.dataset.workScale));
}

// The inverse takes n^3 work: with 6 decimal digits the largest order it
// accepts on the development machine is 1274, on a device s times slower
// 1274 / s^(1/3).
function largestInverse(scale) {
  return 1274 / Math.cbrt(scale);
}

// Orders a tenth below and above the largest the page's scale allows: the
// first computes (until stopped), the second is refused.
async function checkBudget(tab, scale) {
  for (const [order, refused] of [[Math.floor(largestInverse(scale) * 0.9), false],
                                  [Math.ceil(largestInverse(scale) * 1.1), true]]) {
    await editPane(tab).fill('1');
    await choose(tab, '求解', '列主元求逆矩阵');
    const box = tab.getByRole('dialog');
    await expect(box.getByRole('textbox')).toBeVisible();
    await box.getByRole('textbox').fill(String(order));
    await tab.keyboard.press('Enter');
    if (refused) {
      await expect(tab.getByRole('dialog')).toContainText('阶数太大，超出了本程序的计算能力。');
      await tab.keyboard.press('Enter');
    } else {
      await expect(tab.locator('#stop')).toBeVisible({timeout: 30_000});
      await tab.locator('#stop').click();
    }
    await expect(tab.getByRole('dialog')).toHaveCount(0);
  }
}

test('a processor four times slower is measured slower and refused more', async ({page, context}) => {
  test.setTimeout(180_000);
  await openPage(page);
  const normal = await workScale(page);
  await checkBudget(page, normal);

  const slowed = await context.newPage();
  await throttle(context, slowed, 4);
  await openPage(slowed);
  const throttled = await workScale(slowed);
  await checkBudget(slowed, throttled);
  // The two measurements come minutes apart on a machine shared with other
  // work, so their ratio is only recorded: the budgets are checked against
  // each page's own measurement above.
  test.info().annotations.push({type: 'work scale', description:
      `${normal.toFixed(2)} at full speed, ${throttled.toFixed(2)} throttled 4 times`});
});
