// The catalog (the menus, the toolbar, the commands and the texts) as the
// core gives it; the build writes it here so that the page shows its menus
// before the core has loaded. Null: the page waits for the core's.
export const CATALOG = null;
