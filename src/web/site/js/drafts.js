// A draft of the edit pane, kept in the browser as it changes (keeping.js),
// so that typed text outlives a reload or a closed tab: the tab that kept
// it, or a later one once that tab is closed, offers it back in the status
// line.
import {dropDraft, drafts, dropStale, keepDraft, openTabs, tabId} from './keeping.js';
import {messageBox} from './boxes.js';

// After the last change, before the draft is written.
const SETTLE_MS = 300;
// A text beyond this is not kept as a draft: the browser's storage is no
// place for it (a text that long came from a file, and the file is still
// there).
export const DRAFT_MAX_CHARACTERS = 1 << 22;

function describe(draft) {
  let lines = 1;
  for (let at = draft.text.indexOf('\n'); at >= 0; at = draft.text.indexOf('\n', at + 1)) ++lines;
  const when = new Date(draft.at);
  const pad = (value) => String(value).padStart(2, '0');
  const time = `${when.getMonth() + 1} 月 ${when.getDate()} 日 ${pad(when.getHours())}:` +
      `${pad(when.getMinutes())}`;
  return `有未保存的编辑区文本（${time}，${lines} 行）`;
}

// `pane`: the edit pane; `notice`: the status line's element with a text
// and the buttons 恢复 and 丢弃; `changed()` after the pane is set.
export function watchDrafts({pane, notice, changed}) {
  if (!('indexedDB' in self)) return {offer: async () => {}};
  tabId();
  let timer = 0;
  let pending = false;
  let written = -1;
  let offered = null;

  async function write() {
    clearTimeout(timer);
    if (!pending) return;
    pending = false;
    const revision = pane.revision;
    const text = pane.long ? '' : pane.value;
    try {
      // A text too long for a draft leaves none rather than an older one.
      await keepDraft(text.length > DRAFT_MAX_CHARACTERS ? '' : text);
      written = revision;
      document.body.dataset.draftRevision = String(written);
    } catch {
      // No room: this tab has no draft.
    }
  }

  function schedule() {
    pending = true;
    clearTimeout(timer);
    timer = setTimeout(write, SETTLE_MS);
  }
  pane.area.addEventListener('input', schedule);
  pane.onChange = schedule;
  // Closing or leaving the tab writes at once what is still waiting.
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden') write();
  });
  window.addEventListener('pagehide', () => write());

  const text = notice.querySelector('.notice-text');
  const [restore, discard] = notice.querySelectorAll('button');

  function show(draft) {
    offered = draft;
    notice.hidden = draft === null;
    if (draft !== null) text.textContent = describe(draft);
  }

  // The next draft to offer: this tab's own (after a reload of it) unless
  // `ownShown`, else the newest of a tab no longer open.
  async function next(ownShown) {
    const open = await openTabs();
    await dropStale(open).catch(() => {});
    const all = await drafts();
    const own = tabId();
    return all.find((draft) => (draft.owner === own ? !ownShown
        : open !== null && !open.has(draft.owner))) || null;
  }

  let ownShown = false;
  async function offer(skipOwn) {
    ownShown ||= skipOwn;
    try {
      const draft = await next(ownShown);
      if (draft?.owner === tabId()) ownShown = true;
      show(draft);
    } catch {
      show(null);
    }
    // For scripts that drive the page (its tests among them).
    document.body.dataset.draftsOffered = '1';
  }

  restore.addEventListener('click', async () => {
    const draft = offered;
    if (draft === null) return;
    const current = pane.long ? null : pane.value;
    if (current === null || (current.trim() !== '' && current !== draft.text)) {
      const reply = await messageBox({title: '恢复', text: '编辑区中的文本将被草稿替换，是否继续？',
                                      buttons: 'yesno', defaultButton: 'no', icon: 'question'});
      if (reply !== 'yes') return;
    }
    pane.value = draft.text;
    changed();
    // The text is this tab's draft now.
    if (draft.owner !== tabId()) await dropDraft(draft.owner).catch(() => {});
    await offer(true);
  });
  discard.addEventListener('click', async () => {
    const draft = offered;
    if (draft === null) return;
    if (draft.owner !== tabId()) {
      await dropDraft(draft.owner).catch(() => {});
    } else {
      // This tab's draft is what its pane holds now.
      pending = true;
      await write();
    }
    await offer(true);
  });

  return {offer};
}
