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
    this.bar = bar;
    this.actions = actions;
    this.onOpen = onOpen;
    this.open = null;
    this.items = new Map();
    this.accessKeys = new Map();
    this.busyItems = new Set();
    for (const menu of menus) this.addMenu(menu);
    document.addEventListener('pointerdown', (event) => {
      if (this.open && !this.bar.contains(event.target)) this.close();
    });
    document.addEventListener('keydown', (event) => {
      if (event.altKey && !event.ctrlKey && this.accessKeys.has(event.key.toLowerCase())) {
        event.preventDefault();
        this.show(this.accessKeys.get(event.key.toLowerCase()), true);
      }
    });
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
    const entry = {name: menu.name, head, list, items: new Map()};
    for (const item of menu.items) {
      if (item.caption === '-') {
        const rule = element('div', 'menu-separator');
        rule.setAttribute('role', 'separator');
        list.append(rule);
        continue;
      }
      const node = element('button', 'menu-item');
      node.type = 'button';
      node.setAttribute('role', 'menuitem');
      node.dataset.name = item.name;
      const caption = element('span', 'menu-caption');
      appendCaption(caption, item.caption);
      const shortcut = element('span', 'menu-shortcut', item.shortcut);
      shortcut.setAttribute('aria-hidden', 'true');
      node.append(caption, shortcut);
      if (item.shortcut) node.setAttribute('aria-keyshortcuts', item.shortcut.replace('Del', 'Delete'));
      if (!item.active) {
        node.disabled = true;
        node.dataset.inactive = 'true';
      }
      node.addEventListener('click', () => {
        this.close();
        const action = this.actions[item.name];
        if (action) action();
      });
      list.append(node);
      entry.items.set(item.name, node);
      this.items.set(item.name, node);
    }
    head.addEventListener('click', () => {
      if (this.open === entry) this.close();
      else this.show(entry, false);
    });
    head.addEventListener('pointerenter', () => {
      if (this.open && this.open !== entry) this.show(entry, false);
    });
    list.addEventListener('keydown', (event) => this.navigate(event, entry));
    head.addEventListener('keydown', (event) => {
      if (event.key === 'ArrowDown') {
        event.preventDefault();
        this.show(entry, true);
      }
    });
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
    const rect = entry.list.getBoundingClientRect();
    const room = document.documentElement.clientWidth - 4;
    if (rect.right > room) {
      entry.list.style.right = 'auto';
      entry.list.style.left = `${Math.max(4 - rect.left, room - rect.right) + entry.list.offsetLeft}px`;
    } else if (rect.left < 4) {
      entry.list.style.right = 'auto';
      entry.list.style.left = `${4 - rect.left + entry.list.offsetLeft}px`;
    }
    if (focusFirst) {
      const first = [...entry.items.values()].find((node) => !node.disabled);
      if (first) first.focus();
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

  navigate(event, entry) {
    const nodes = [...entry.items.values()].filter((node) => !node.disabled);
    const at = nodes.indexOf(document.activeElement);
    if (event.key === 'Escape') {
      event.preventDefault();
      this.close();
      entry.head.focus();
    } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      event.preventDefault();
      if (nodes.length === 0) return;
      const step = event.key === 'ArrowDown' ? 1 : -1;
      nodes[(at + step + nodes.length) % nodes.length].focus();
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
}

// `groupStarts`: the keys a separator stands before.
export function buildToolbar(bar, keys, groupStarts, dispatch) {
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
