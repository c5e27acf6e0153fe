// What the core's catalog says, asked the way the page needs it: the busy
// list, the toolbar's items and the shortcuts are the window's, written once
// in the core (desk/menus.h).

// The toolbar keys whose buttons are disabled while a command runs.
export function busyToolKeys(catalog) {
  const busy = new Set(catalog.busyItems);
  return catalog.toolbar.filter((key) => busy.has(catalog.toolbarItems[key]));
}

// The menu item a key press runs, or null: Ctrl (or Cmd) with a letter the
// catalog lists, without Alt.
export function shortcutItem(catalog, event) {
  if (!(event.ctrlKey || event.metaKey) || event.altKey) return null;
  return catalog.shortcuts[`Ctrl+${event.key.toUpperCase()}`] || null;
}
