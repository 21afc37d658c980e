// A static server for the browser tests on 127.0.0.1, which can also fail on purpose:
// a file answered with 404, or sent cut short (its full length announced, half sent).
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.json': 'application/json', '.wasm': 'application/wasm',
};

// Serves root; faults maps a URL path ("/game/Sound/x.ogg") to "missing" or "cut".
function serveSite(root, faults = {}) {
  const server = http.createServer((request, response) => {
    const urlPath = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, urlPath.endsWith('/') ? urlPath + 'index.html' : urlPath);
    const fault = faults[urlPath];
    if (!file.startsWith(root) || fault === 'missing' || !fs.existsSync(file) ||
        !fs.statSync(file).isFile()) {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found');
      return;
    }
    const data = fs.readFileSync(file);
    response.writeHead(200, {
      'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
      'Content-Length': data.length,
      'Cache-Control': 'no-store',
    });
    if (fault === 'cut') {
      response.write(data.subarray(0, Math.floor(data.length / 2)), () => response.destroy());
      return;
    }
    response.end(data);
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => resolve({
      server,
      url: `http://127.0.0.1:${server.address().port}/`,
      close: () => new Promise((done) => { server.closeAllConnections(); server.close(done); }),
    }));
  });
}

module.exports = { serveSite };
