// A static file server for the built site, on 127.0.0.1 only.
//   node src/web/serve.mjs SITE_DIR [PORT]
// It sends the headers a host should send (headers.mjs) and, to a browser
// that accepts them, the files compressed at build time (FILE.br, FILE.gz).
// With MATCALC_SERVE_LOG set it prints one line a request: the method, the
// path, the encoding sent and the bytes sent (for the page's benchmark and
// tests).
import {createReadStream, statSync} from 'node:fs';
import {createServer} from 'node:http';
import {extname, join, normalize, resolve, sep} from 'node:path';
import {headersFor} from './headers.mjs';

const site = resolve(process.argv[2] || '.');
const port = Number(process.argv[3] || 8000);
const log = Boolean(process.env.MATCALC_SERVE_LOG);
const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json',
  '.json': 'application/json',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.txt': 'text/plain; charset=utf-8',
};

function fileSize(file) {
  try {
    const stat = statSync(file);
    return stat.isFile() ? stat.size : -1;
  } catch {
    return -1;
  }
}

// The encodings the request accepts, by name ("br", "gzip"), q=0 excluded.
function accepted(request) {
  const names = new Set();
  for (const part of String(request.headers['accept-encoding'] || '').split(',')) {
    const [name, ...parameters] = part.trim().toLowerCase().split(';');
    const refused = parameters.some((parameter) => /^\s*q=0(\.0*)?\s*$/.test(parameter));
    if (name && !refused) names.add(name);
  }
  return names;
}

createServer((request, response) => {
  let path;
  try {
    path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
  } catch {
    response.writeHead(400).end();
    return;
  }
  if (request.method !== 'GET' && request.method !== 'HEAD') {
    response.writeHead(405, {Allow: 'GET, HEAD'}).end();
    return;
  }
  if (path.endsWith('/')) path += 'index.html';
  const file = normalize(join(site, path));
  if (file !== site && !file.startsWith(site + sep)) {
    response.writeHead(403).end();
    return;
  }
  const size = fileSize(file);
  if (size < 0) {
    if (log) console.log(`${request.method} ${path} 404`);
    response.writeHead(404, headersFor(path)).end();
    return;
  }
  const type = types[extname(file)];
  const headers = {...headersFor(path), 'Content-Type': type || 'application/octet-stream'};
  let sent = file;
  let length = size;
  if (type) {
    headers.Vary = 'Accept-Encoding';
    const encodings = accepted(request);
    for (const [name, suffix] of [['br', '.br'], ['gzip', '.gz']]) {
      const compressed = encodings.has(name) ? fileSize(file + suffix) : -1;
      if (compressed >= 0) {
        headers['Content-Encoding'] = name;
        sent = file + suffix;
        length = compressed;
        break;
      }
    }
  }
  headers['Content-Length'] = length;
  if (log) {
    console.log(`${request.method} ${path} ${headers['Content-Encoding'] || 'identity'} ${length}`);
  }
  response.writeHead(200, headers);
  if (request.method === 'HEAD') response.end();
  else createReadStream(sent).pipe(response);
}).listen(port, '127.0.0.1', () => {
  console.log(`MatCalc: http://127.0.0.1:${port}/ (serving ${site})`);
});
