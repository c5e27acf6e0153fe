// The catalog (the menus, the toolbar, the commands and the texts) as the
// core gives it; the build writes it here so that the page shows its menus
// before the core has loaded. Null: the page waits for the core's.
export const CATALOG = null;
// The bundled examples' texts (item name -> text), read by the build from
// the program's examples folder, so that 帮助's examples need no request.
export const EXAMPLES = {};
