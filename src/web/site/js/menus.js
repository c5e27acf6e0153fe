// The menu bar and the toolbar, built from the captions the core gives.

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

// "文件(&F)" shows as 文件(F) with the F underlined; returns the access key.
function appendCaption(node, caption) {
  const at = caption.indexOf('&');
  if (at < 0 || at + 1 >= caption.length) {
    node.append(caption);
    return '';
  }
  const key = caption[at + 1];
  node.append(caption.slice(0, at), element('u', '', key), caption.slice(at + 2));
  return key.toLowerCase();
}

export class MenuBar {
  // `actions`: item name -> function; `onOpen(menuName, itemsByName)` runs
  // before a menu is shown (the Solve menu's enabling).
  constructor(bar, menus, {actions, onOpen}) {
    // The build's copy of the heads (shown before this script ran) goes.
    bar.replaceChildren();
    this.bar = bar;
    this.actions = actions;
    this.onOpen = onOpen;
    this.open = null;
    this.items = new Map();
    this.accessKeys = new Map();
    this.busyItems = new Set();
    this.entries = [];
    // Where the focus goes back to once a menu closes or its item is chosen.
    this.returnTo = null;
    for (const menu of menus) this.addMenu(menu);
    // One head in the tab order (a menubar is one stop); arrows move along.
    this.entries.forEach((entry, index) => { entry.head.tabIndex = index === 0 ? 0 : -1; });
    document.addEventListener('pointerdown', (event) => {
      if (this.open && !this.bar.contains(event.target)) this.close();
    });
    document.addEventListener('keydown', (event) => {
      if (event.altKey && !event.ctrlKey && this.accessKeys.has(event.key.toLowerCase())) {
        event.preventDefault();
        this.remember();
        this.show(this.accessKeys.get(event.key.toLowerCase()), true);
      } else if (event.key === 'Escape' && this.open && !this.bar.contains(document.activeElement)) {
        // A menu opened by a click closes on Esc as well.
        event.preventDefault();
        event.stopImmediatePropagation();
        this.close();
        this.giveBack();
      }
    }, true);
  }

  addMenu(menu) {
    const wrap = element('div', 'menu');
    const head = element('button', 'menu-head');
    head.type = 'button';
    head.setAttribute('role', 'menuitem');
    head.setAttribute('aria-haspopup', 'menu');
    head.setAttribute('aria-expanded', 'false');
    head.dataset.name = menu.name;
    const key = appendCaption(head, menu.caption);
    const list = element('div', 'menu-list');
    list.setAttribute('role', 'menu');
    list.setAttribute('aria-label', menu.caption.replace(/\(&.\)/, ''));
    list.hidden = true;
    const entry = {name: menu.name, head, list, items: new Map(), keys: new Map()};
    this.entries.push(entry);
    for (const item of menu.items) {
      if (item.caption === '-') {
        const rule = element('div', 'menu-separator');
        rule.setAttribute('role', 'separator');
        list.append(rule);
        continue;
      }
      const node = element('button', 'menu-item');
      node.type = 'button';
      node.setAttribute('role', item.checkable ? 'menuitemcheckbox' : 'menuitem');
      if (item.checkable) node.setAttribute('aria-checked', 'false');
      node.dataset.name = item.name;
      const caption = element('span', 'menu-caption');
      const itemKey = appendCaption(caption, item.caption);
      // Typing a letter moves to the item it marks, or whose caption it starts.
      node.dataset.key = itemKey || item.caption.charAt(0).toLowerCase();
      const shortcut = element('span', 'menu-shortcut', item.shortcut);
      shortcut.setAttribute('aria-hidden', 'true');
      node.append(caption, shortcut);
      if (item.shortcut) node.setAttribute('aria-keyshortcuts', item.shortcut.replace('Del', 'Delete'));
      if (!item.active) {
        node.disabled = true;
        node.dataset.inactive = 'true';
      }
      node.tabIndex = -1;
      node.addEventListener('click', () => {
        this.close();
        // The focus goes back before the action, so that its box gives it
        // back there too.
        this.giveBack();
        const action = this.actions[item.name];
        if (action) action();
      });
      list.append(node);
      entry.items.set(item.name, node);
      this.items.set(item.name, node);
    }
    head.addEventListener('pointerdown', () => this.remember());
    head.addEventListener('focus', () => this.remember());
    head.addEventListener('click', () => {
      if (this.open === entry) {
        this.close();
      } else {
        this.show(entry, false);
      }
    });
    head.addEventListener('pointerenter', () => {
      if (this.open && this.open !== entry) this.show(entry, false);
    });
    list.addEventListener('keydown', (event) => this.navigate(event, entry));
    head.addEventListener('keydown', (event) => this.headKey(event, entry));
    wrap.append(head, list);
    this.bar.append(wrap);
    if (key) this.accessKeys.set(key, entry);
  }

  async show(entry, focusFirst) {
    this.close();
    this.open = entry;
    entry.head.setAttribute('aria-expanded', 'true');
    entry.head.classList.add('open');
    if (this.onOpen) await this.onOpen(entry.name, entry.items);
    if (this.open !== entry) return;
    for (const [name, node] of entry.items) {
      if (this.busyItems.has(name)) node.disabled = true;
    }
    entry.list.hidden = false;
    // A list wider than the room right of its menu moves left, so that it
    // stays on a narrow screen.
    entry.list.style.left = '';
    entry.list.style.right = '';
    // The shift is measured on the screen and added to where the list
    // stands in its menu (a phone's second row of heads included).
    const rect = entry.list.getBoundingClientRect();
    const room = document.documentElement.clientWidth - 4;
    const shift = rect.right > room ? Math.max(4 - rect.left, room - rect.right)
                                    : Math.max(0, 4 - rect.left);
    if (shift !== 0) {
      const head = entry.list.parentElement.getBoundingClientRect();
      entry.list.style.right = 'auto';
      entry.list.style.left = `${rect.left + shift - head.left}px`;
    }
    for (const other of this.entries) other.head.tabIndex = other === entry ? 0 : -1;
    if (focusFirst) {
      const enabled = [...entry.items.values()].filter((node) => !node.disabled);
      const target = focusFirst === 'last' ? enabled[enabled.length - 1] : enabled[0];
      if (target) target.focus();
      else entry.head.focus();
    }
  }

  close() {
    if (!this.open) return;
    const entry = this.open;
    this.open = null;
    entry.list.hidden = true;
    entry.head.classList.remove('open');
    entry.head.setAttribute('aria-expanded', 'false');
  }

  // Remembers the element outside the bar that had the focus.
  remember() {
    const active = document.activeElement;
    if (active && active !== document.body && !this.bar.contains(active)) this.returnTo = active;
  }

  giveBack() {
    const target = this.returnTo;
    if (target && target.isConnected && !target.hidden) target.focus();
    else if (this.bar.contains(document.activeElement)) document.activeElement.blur();
  }

  moveTo(entry, open) {
    for (const other of this.entries) other.head.tabIndex = other === entry ? 0 : -1;
    if (open) this.show(entry, true);
    else entry.head.focus();
  }

  neighbour(entry, step) {
    const at = this.entries.indexOf(entry);
    return this.entries[(at + step + this.entries.length) % this.entries.length];
  }

  headKey(event, entry) {
    const key = event.key;
    if (key === 'ArrowRight' || key === 'ArrowLeft') {
      event.preventDefault();
      const wasOpen = this.open !== null;
      this.close();
      this.moveTo(this.neighbour(entry, key === 'ArrowRight' ? 1 : -1), wasOpen);
    } else if (key === 'Home' || key === 'End') {
      event.preventDefault();
      this.moveTo(key === 'Home' ? this.entries[0] : this.entries[this.entries.length - 1], false);
    } else if (key === 'ArrowDown' || key === 'Enter' || key === ' ') {
      event.preventDefault();
      this.show(entry, true);
    } else if (key === 'ArrowUp') {
      event.preventDefault();
      this.show(entry, 'last');
    } else if (key === 'Escape') {
      // A menu opened by a click closes; with none open the focus goes back.
      event.preventDefault();
      event.stopPropagation();
      if (this.open) this.close();
      this.giveBack();
    }
  }

  navigate(event, entry) {
    const nodes = [...entry.items.values()].filter((node) => !node.disabled);
    const at = nodes.indexOf(document.activeElement);
    const key = event.key;
    if (key === 'Escape') {
      event.preventDefault();
      event.stopPropagation();
      this.close();
      entry.head.focus();
    } else if (key === 'ArrowDown' || key === 'ArrowUp') {
      event.preventDefault();
      if (nodes.length === 0) return;
      const step = key === 'ArrowDown' ? 1 : -1;
      nodes[(at + step + nodes.length) % nodes.length].focus();
    } else if (key === 'Home' || key === 'End') {
      event.preventDefault();
      if (nodes.length > 0) nodes[key === 'Home' ? 0 : nodes.length - 1].focus();
    } else if (key === 'ArrowRight' || key === 'ArrowLeft') {
      event.preventDefault();
      this.close();
      this.moveTo(this.neighbour(entry, key === 'ArrowRight' ? 1 : -1), true);
    } else if (key === 'Tab') {
      this.close();
    } else if (key.length === 1 && !event.ctrlKey && !event.metaKey && !event.altKey) {
      // A letter: the next item it marks, after the focused one.
      const letter = key.toLowerCase();
      const ordered = [...nodes.slice(at + 1), ...nodes.slice(0, at + 1)];
      const found = ordered.find((node) => node.dataset.key === letter);
      if (found) {
        event.preventDefault();
        found.focus();
      }
    }
  }

  // Items that stay disabled while a command runs.
  setBusy(names, busy) {
    for (const name of names) {
      if (busy) this.busyItems.add(name);
      else this.busyItems.delete(name);
      const node = this.items.get(name);
      if (node && busy) node.disabled = true;
      if (node && !busy && !node.dataset.inactive) node.disabled = false;
    }
  }

  item(name) {
    return this.items.get(name);
  }

  // Shows a checkable item checked or not.
  setChecked(name, checked) {
    const node = this.items.get(name);
    if (node) node.setAttribute('aria-checked', checked ? 'true' : 'false');
  }
}

// `groupStarts`: the keys a separator stands before.
export function buildToolbar(bar, keys, groupStarts, dispatch) {
  bar.replaceChildren();
  const buttons = [];
  for (const key of keys) {
    if (groupStarts.includes(key)) {
      const rule = element('span', 'toolbar-separator');
      rule.setAttribute('role', 'separator');
      bar.append(rule);
    }
    const node = element('button', 'tool', key);
    node.type = 'button';
    node.dataset.key = key;
    // A toolbar button keeps the focus in the pane the user was working in.
    node.addEventListener('pointerdown', (event) => event.preventDefault());
    node.addEventListener('click', () => dispatch(key));
    bar.append(node);
    buttons.push(node);
  }
  return buttons;
}
