// Work budgets that know the device: the page's worker measures how fast it
// computes once as the page loads, and the budgets scale the commands' work
// by it. A processor slowed down four times (Chromium's CPU throttling)
// measures about four times slower, and is refused an order the full speed
// accepts.
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

test('a processor four times slower is measured so and refused more', async ({page, context}) => {
  test.setTimeout(120_000);
  await openPage(page);
  const normal = await workScale(page);

  const slowed = await context.newPage();
  await throttle(context, slowed, 4);
  await openPage(slowed);
  const throttled = await workScale(slowed);
  console.log(`work scale ${normal}, throttled 4 times ${throttled}`);
  // Throttling pauses the processor in slices: short runs catch some of it.
  expect(throttled / normal).toBeGreaterThan(1.8);
  expect(throttled / normal).toBeLessThan(8);

  // The inverse takes n^3 work: the largest order it accepts on the
  // development machine is 2343, on a device s times slower 2343 / s^(1/3).
  // An order a little below the largest at full speed is beyond the largest
  // of a processor four times slower.
  const order = Math.floor(2343 * Math.cbrt(1 / normal) * 0.93);
  for (const [tab, refused] of [[page, false], [slowed, true]]) {
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
      // Accepted: it computes until stopped.
      await expect(tab.locator('#stop')).toBeVisible({timeout: 30_000});
      await tab.locator('#stop').click();
    }
    await expect(tab.getByRole('dialog')).toHaveCount(0);
  }
});
