// The headers the site is served with, shared by the development server
// (serve.mjs) and the ready files the build puts into the site for the
// common static hosts (build-site.mjs). The page's own meta tag repeats the
// policy for hosts that send none, but only a header can forbid framing.

// What the page may load: its own files, the module compiled from them, its
// workers (made from its own files' text) and its help in a frame.
const SOURCES = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; " +
    "worker-src 'self' blob:; style-src 'self'; img-src 'self' blob: data:; " +
    "connect-src 'self'; frame-src 'self'; object-src 'none'; base-uri 'none'; " +
    "form-action 'none'";
// The page is framed by no site; the help and the about page only by the
// page itself.
export const PAGE_POLICY = `${SOURCES}; frame-ancestors 'none'`;
export const FRAMED_POLICY = `${SOURCES}; frame-ancestors 'self'`;

export const COMMON = {
  'X-Content-Type-Options': 'nosniff',
  'Referrer-Policy': 'no-referrer',
};
// The version's folder never changes under its name; the entry points are
// checked on every visit.
export const KEPT = 'public, max-age=31536000, immutable';
export const CHECKED = 'no-cache';

export function isVersioned(path) {
  return path.startsWith('/v/');
}

// The headers for a path of the site (beginning with "/").
export function headersFor(path) {
  return {
    ...COMMON,
    'Content-Security-Policy': isVersioned(path) ? FRAMED_POLICY : PAGE_POLICY,
    'Cache-Control': isVersioned(path) ? KEPT : CHECKED,
  };
}

function lines(headers, indent) {
  return Object.entries(headers).map(([name, value]) => `${indent}${name}: ${value}`).join('\n');
}

// The same rules in the conventions of common static hosts: `_headers`
// (hosts that read a headers file at the site's root), `.htaccess` (Apache
// with mod_headers) and `vercel.json`.
export function hostHeaderFiles() {
  const entry = {...COMMON, 'Content-Security-Policy': PAGE_POLICY, 'Cache-Control': CHECKED};
  const versioned = {...COMMON, 'Content-Security-Policy': FRAMED_POLICY, 'Cache-Control': KEPT};
  const entryPaths = ['/', '/index.html', '/sw.js', '/manifest.webmanifest', '/icons/*'];
  const headersFile = [
    '# The headers the calculator\'s page should be served with (hosts that read',
    '# a _headers file). The folder v/ holds files named by the version.',
    ...entryPaths.flatMap((path) => [path, lines(entry, '  ')]),
    '/v/*', lines(versioned, '  '), ''].join('\n');
  const apache = [
    '# The headers the calculator\'s page should be served with (Apache,',
    '# mod_headers). The folder v/ holds files named by the version: see',
    '# v/.htaccess, written beside them.',
    '<IfModule mod_headers.c>',
    ...Object.entries(entry).map(([name, value]) => `  Header always set ${name} "${value}"`),
    '</IfModule>',
    '# Text compressed on the way (the .br and .gz files beside them are for',
    '# servers that send those).',
    '<IfModule mod_deflate.c>',
    '  AddOutputFilterByType DEFLATE text/html text/css text/javascript application/wasm',
    '  AddOutputFilterByType DEFLATE application/manifest+json image/svg+xml',
    '</IfModule>',
    'AddType application/wasm .wasm',
    'AddType application/manifest+json .webmanifest',
    '',
  ].join('\n');
  const apacheVersioned = [
    '# Files named by the version: kept for good.',
    '<IfModule mod_headers.c>',
    ...Object.entries(versioned).map(([name, value]) => `  Header always set ${name} "${value}"`),
    '</IfModule>',
    '',
  ].join('\n');
  const vercel = JSON.stringify({
    headers: [
      {source: '/((?!v/).*)', headers: Object.entries(entry).map(([key, value]) => ({key, value}))},
      {source: '/v/(.*)', headers: Object.entries(versioned).map(([key, value]) => ({key, value}))},
    ],
  }, null, 2) + '\n';
  return {'_headers': headersFile, '.htaccess': apache, 'vercel.json': vercel,
          'v/.htaccess': apacheVersioned};
}
