// The web player's measurements, run by hand after scripts/web.sh (never from the tests):
//   NODE_PATH=build-web/browser-test/node_modules node bench/web_player.js
// It prints the gzipped transfer size of the demo site (player, font, game), the time
// from navigation to the first field frame, and the field's frame time in headless
// Chromium against tavelle-play's on the same machine in the same run, as a ratio.
'use strict';
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');
const { chromium } = require('playwright-core');
const { serveSite } = require('../tests/web/site_server');

const ROOT = path.resolve(__dirname, '..');
const SITE = path.join(ROOT, 'build-web/demo');
const BUILD = path.join(ROOT, 'build');
const FIELD_SECONDS = 20;

function gzippedBytes(dir, filter) {
  let total = 0;
  for (const entry of fs.readdirSync(dir, { withFileTypes: true, recursive: true })) {
    const file = path.join(entry.path || entry.parentPath, entry.name);
    if (entry.isFile() && filter(path.relative(dir, file)))
      total += zlib.gzipSync(fs.readFileSync(file), { level: 9 }).length;
  }
  return total;
}

// Seconds per frame of tavelle-play on the field: the difference of two runs, so that
// the start-up and the load cancel out.
function desktopFrameSeconds() {
  const run = (frames) => {
    const start = process.hrtime.bigint();
    spawnSync(path.join(BUILD, 'tavelle-play'), ['--data', path.join(BUILD, 'game'), '--frames', String(frames)],
      { env: { ...process.env, SDL_VIDEODRIVER: 'offscreen', SDL_AUDIODRIVER: 'dummy' } });
    return Number(process.hrtime.bigint() - start) / 1e9;
  };
  return (run(400) - run(100)) / 300;
}

(async () => {
  const mb = (n) => (n / 1048576).toFixed(2) + ' MB';
  const player = gzippedBytes(SITE, (f) => !f.startsWith('game') && !f.startsWith('font'));
  const font = gzippedBytes(path.join(SITE, 'font'), () => true);
  const game = gzippedBytes(path.join(SITE, 'game'), () => true);
  console.log(`gzipped: player ${mb(player)}, font ${mb(font)}, game ${mb(game)}; ` +
              `player + font ${mb(player + font)} (goal under 3 MB)`);

  const site = await serveSite(SITE);
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium',
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader'] });
  const page = await browser.newPage({ viewport: { width: 1024, height: 768 } });
  const state = () => page.evaluate(() => window.tavelle.started && window.tavelle.state());
  const navigated = Date.now();
  await page.goto(site.url);
  let s;
  while (!((s = await state()) && s.field.map === 1)) await page.waitForTimeout(20);
  console.log(`navigation to the first field frame: ${((Date.now() - navigated) / 1000).toFixed(2)} s`);
  // The page counts the browser's frames; below 60 a second each one runs one game frame.
  const first = s.frame;
  const start = Date.now();
  await page.waitForTimeout(FIELD_SECONDS * 1000);
  const frames = (await state()).frame - first;
  const browserFrame = (Date.now() - start) / 1000 / frames;
  await browser.close();
  await site.close();
  const desktopFrame = desktopFrameSeconds();
  console.log(`field frame: browser ${(browserFrame * 1000).toFixed(1)} ms (at most 60 a second), ` +
              `desktop driver ${(desktopFrame * 1000).toFixed(1)} ms; ratio ${(browserFrame / desktopFrame).toFixed(2)} ` +
              '(goal at most 1.5)');
})();
