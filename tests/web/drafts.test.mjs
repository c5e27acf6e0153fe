// Typed text outlives a reload or a closed tab: the edit pane's draft is
// kept per tab and offered back by the status line, by the same tab after a
// reload or by a later one once its tab is closed; never another open tab's.
import {test, expect} from '@playwright/test';
import {editPane, openPage} from './support.mjs';

// The draft this tab has kept, once written (null when none).
function keptDraft(page) {
  return page.evaluate(() => new Promise((resolve) => {
    const tab = sessionStorage.getItem('matcalc.tab');
    const request = indexedDB.open('matcalc-texts');
    request.onerror = () => resolve(null);
    request.onsuccess = () => {
      const db = request.result;
      if (!db.objectStoreNames.contains('texts')) {
        db.close();
        resolve(null);
        return;
      }
      const get = db.transaction('texts').objectStore('texts').get(['draft', tab]);
      get.onsuccess = () => {
        db.close();
        resolve(get.result ? get.result.text : null);
      };
    };
  }));
}

// Closes `tab` and waits until `other` sees it closed (the browser lets go
// of a closed tab's lock a moment after).
async function closeTab(tab, other) {
  const id = await tab.evaluate(() => sessionStorage.getItem('matcalc.tab'));
  await tab.close();
  await expect.poll(() => other.evaluate(async (name) => {
    const {held} = await navigator.locks.query();
    return held.some((lock) => lock.name === name);
  }, `matcalc-tab:${id}`)).toBe(false);
}

async function type(page, text) {
  await editPane(page).click();
  await page.keyboard.type(text);
  await expect.poll(() => keptDraft(page)).toBe(text);
}

test('typed text is offered back after a reload of its tab', async ({page}) => {
  await openPage(page);
  await type(page, '4 1\n1 3');
  await page.reload();
  await expect(page.locator('body.ready')).toBeAttached();
  const notice = page.locator('#draft');
  await expect(notice).toBeVisible();
  await expect(notice).toContainText('2 行');
  expect(await page.evaluate(() => window.matcalcPage.text1())).toBe('');
  await notice.getByRole('button', {name: '恢复'}).click();
  await expect.poll(() => page.evaluate(() => window.matcalcPage.text1())).toBe('4 1\n1 3');
  await expect(notice).toBeHidden();
  // Emptied, the pane leaves no draft to offer.
  await editPane(page).fill('');
  await expect.poll(() => keptDraft(page)).toBe(null);
  await page.reload();
  await expect(page.locator('body.ready')).toBeAttached();
  await page.waitForFunction(() => document.body.dataset.draftsOffered === '1');
  await expect(page.locator('#draft')).toBeHidden();
});

test('a closed tab\'s text is offered to the next tab; an open tab\'s is not',
     async ({page, context}) => {
  await openPage(page);
  await type(page, '1 2\n3 4  # still open');
  const closed = await context.newPage();
  await openPage(closed);
  await type(closed, '5 6\n7 8  # closed');
  await closeTab(closed, page);

  const next = await context.newPage();
  await openPage(next);
  const notice = next.locator('#draft');
  await expect(notice).toBeVisible();
  await notice.getByRole('button', {name: '恢复'}).click();
  await expect.poll(() => next.evaluate(() => window.matcalcPage.text1()))
      .toBe('5 6\n7 8  # closed');
  // Taken: the closed tab's draft is this tab's now, and the open tab's is
  // never offered.
  await expect(notice).toBeHidden();
  const another = await context.newPage();
  await openPage(another);
  await expect(another.locator('body.ready')).toBeAttached();
  await another.waitForFunction(() => document.body.dataset.draftsOffered === '1');
  await expect(another.locator('#draft')).toBeHidden();
});

test('丢弃 drops a closed tab\'s draft; a text in the pane is not replaced unasked',
     async ({page, context}) => {
  const closed = await context.newPage();
  await openPage(closed);
  await type(closed, '9 8 7');
  await openPage(page);
  await closeTab(closed, page);
  await page.reload();
  await expect(page.locator('body.ready')).toBeAttached();
  await editPane(page).fill('1 1\n1 2');
  const notice = page.locator('#draft');
  await expect(notice).toBeVisible();
  await notice.getByRole('button', {name: '恢复'}).click();
  const question = page.getByRole('dialog', {name: '恢复'});
  await expect(question).toBeVisible();
  await question.getByRole('button', {name: '否'}).click();
  expect(await page.evaluate(() => window.matcalcPage.text1())).toBe('1 1\n1 2');
  await notice.getByRole('button', {name: '丢弃'}).click();
  await expect(notice).toBeHidden();
  const next = await context.newPage();
  await openPage(next);
  await next.waitForFunction(() => document.body.dataset.draftsOffered === '1');
  await expect(next.locator('#draft')).toBeHidden();
});

test.describe('on a phone', () => {
  test.use({viewport: {width: 390, height: 844}, hasTouch: true, isMobile: true});

  test('the offer of a draft and its buttons are on the screen', async ({page}) => {
    await openPage(page);
    await type(page, '4 1 0\n1 4 1\n0 1 4');
    await page.reload();
    await expect(page.locator('#draft')).toBeVisible();
    for (const name of ['恢复', '丢弃']) {
      const box = await page.locator('#draft').getByRole('button', {name}).boundingBox();
      expect(box.x + box.width).toBeLessThanOrEqual(390);
      expect(box.height).toBeGreaterThanOrEqual(44);
      expect(box.height).toBeLessThan(60);
    }
  });
});
