// The web player in headless Chromium (WebGL2 on SwiftShader), driven by playwright-core:
// the demo site from scripts/web.sh, served from 127.0.0.1, played as a person would.
//   node --test tests/web/browser_test.js   (NODE_PATH: playwright-core's node_modules)
// TAVELLE_SITE (default build-web/demo), TAVELLE_BUILD_DIR (default build: zrn and
// tavelle-play for the comparisons with the desktop) may point elsewhere.
'use strict';
const assert = require('node:assert/strict');
const { after, before, describe, test } = require('node:test');
const { execFileSync, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require('playwright-core');
const { readPngRgb } = require('./png_rgb');
const { serveSite } = require('./site_server');

const ROOT = path.resolve(__dirname, '../..');
const SITE = path.resolve(process.env.TAVELLE_SITE || path.join(ROOT, 'build-web/demo'));
const BUILD = path.resolve(process.env.TAVELLE_BUILD_DIR || path.join(ROOT, 'build'));
const BROWSER_ARGS = ['--use-angle=swiftshader', '--enable-unsafe-swiftshader'];
// Software WebGL is slow: the field runs at a few frames a second here, and at one or
// two when the machine's two cores are shared with other builds.
const PATIENCE_MS = 180000;
// The square's marker as the desktop tests click it, and a grass point beside the lead.
const SQUARE_MARKER = { x: 719, y: 468 };
const GRASS = { x: 600, y: 560 };
// A point of the square: F1 keeps the lead where it stood, and its first step on the
// reloaded map runs straight back to the start, which only open ground lets it reach.
const SQUARE = { x: 880, y: 310 };
// Frames in the browser against the desktop's: SwiftShader behind WebGL2 and Mesa's
// llvmpipe round the fog's and the lighting's floats differently and cover the edges of
// triangles by their own rules, so most pixels differ by a level or two and some edge
// pixels wholly: measured, 0.3-0.5 % of the golden frames' pixels by more than 8 levels,
// against 18 % and more between any two different golden frames.
const PIXEL_LEVELS = 8;
const PIXEL_SHARE = 0.01;
// The marker of zrn new's starter game, as its desktop test clicks it.
const STARTER_MARKER = { x: 512, y: 294 };

let browser;
let demo;

before(async () => {
  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: BROWSER_ARGS });
  demo = await serveSite(SITE);
});

after(async () => {
  await demo.close();
  await browser.close();
});

async function openPage(url, initScript, contextOptions = {}) {
  const page = await browser.newPage({ viewport: { width: 1024, height: 768 }, ...contextOptions });
  const log = [];
  page.on('console', (m) => log.push(m.text()));
  page.on('pageerror', (e) => log.push('page error: ' + e.message));
  if (initScript) await page.addInitScript(initScript);
  await page.goto(url);
  page.log = log;
  return page;
}

// Polls the game's state until test(state) holds; the last state otherwise fails.
async function waitForState(page, check, what) {
  const deadline = Date.now() + PATIENCE_MS;
  let state = null;
  while (Date.now() < deadline) {
    state = await page.evaluate(() => window.tavelle.started && window.tavelle.state());
    if (state && check(state)) return state;
    await page.waitForTimeout(250);
  }
  throw new Error(`${what}: not reached; last field ${JSON.stringify(state && state.field).slice(0, 400)}\n` +
                  page.log.join('\n'));
}

const onField = (s) => s.field.map === 1;

describe('the demo in the browser', () => {
  test('reaches the field with no message', async () => {
    const page = await openPage(demo.url);
    const state = await waitForState(page, onField, 'the field');
    assert.deepEqual(state.messages, []);
    await page.close();
  });

  test('a click on the ground walks the lead', async () => {
    const page = await openPage(demo.url);
    const start = await waitForState(page, onField, 'the field');
    await page.mouse.click(GRASS.x, GRASS.y);
    await waitForState(page, (s) => s.field.lead.x !== start.field.lead.x ||
                                    s.field.lead.z !== start.field.lead.z, 'the lead walking');
    await page.close();
  });

  test('a marker starts its scene and the text appears character by character', async () => {
    const page = await openPage(demo.url);
    await waitForState(page, onField, 'the field');
    await page.mouse.click(SQUARE_MARKER.x, SQUARE_MARKER.y);
    const lengths = new Set();
    await waitForState(page, (s) => {
      if (s.scenario.text.length > 0) lengths.add(s.scenario.text.length);
      return lengths.size >= 3;
    }, 'the text growing');
    await page.close();
  });

  test('the audio context runs and the music reaches the output', async () => {
    // An analyser goes between every node and the output, to see what is played.
    const page = await openPage(demo.url, () => {
      window.analysers = [];
      const connect = AudioNode.prototype.connect;
      AudioNode.prototype.connect = function (target, ...rest) {
        if (target instanceof AudioDestinationNode) {
          const analyser = target.context.createAnalyser();
          window.analysers.push(analyser);
          connect.call(this, analyser);
          return connect.call(analyser, target, ...rest);
        }
        return connect.call(this, target, ...rest);
      };
    });
    await waitForState(page, onField, 'the field');
    await page.mouse.click(SQUARE_MARKER.x, SQUARE_MARKER.y); // the gesture sound waits for
    const deadline = Date.now() + PATIENCE_MS;
    let loudest = 0;
    while (Date.now() < deadline && loudest === 0) {
      loudest = await page.evaluate(() => {
        let peak = 0;
        for (const analyser of window.analysers) {
          if (analyser.context.state !== 'running') continue;
          const samples = new Float32Array(analyser.fftSize);
          analyser.getFloatTimeDomainData(samples);
          for (const v of samples) peak = Math.max(peak, Math.abs(v));
        }
        return peak;
      });
      await page.waitForTimeout(250);
    }
    assert.ok(loudest > 0.001, `no samples reached the output (peak ${loudest})`);
    await page.close();
  });

  test('F1 reloads from the loading screen', async () => {
    const page = await openPage(demo.url);
    await waitForState(page, onField, 'the field');
    await page.mouse.click(SQUARE.x, SQUARE.y);
    await waitForState(page, (s) => s.field.lead.state === 0 &&
                       (s.field.lead.x !== 25 || s.field.lead.z !== 14), 'a walk to its end');
    await page.keyboard.press('F1');
    await waitForState(page, (s) => onField(s) && s.field.lead.x === 25 && s.field.lead.z === 14,
                       'the lead back at the start after the reload');
    await page.close();
  });

  test('Escape ends the game and the page offers to start again', async () => {
    const page = await openPage(demo.url);
    await waitForState(page, onField, 'the field');
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => window.tavelle.ended, null, { timeout: PATIENCE_MS });
    assert.equal(await page.isVisible('#restart'), true);
    await page.close();
  });
});

// The page's game frame copied out, as RGB rows.
async function pageShotRgb(page, frame) {
  await page.waitForFunction((f) => f in window.tavelle.shots, frame, { timeout: PATIENCE_MS });
  const base64 = await page.evaluate((f) => {
    const shot = window.tavelle.shots[f];
    if (!shot) return null;
    let text = '';
    for (let p = 0; p < shot.rgba.length; p += 4)
      text += String.fromCharCode(shot.rgba[p], shot.rgba[p + 1], shot.rgba[p + 2]);
    return btoa(text);
  }, frame);
  assert.ok(base64, `frame ${frame} presented nothing in the browser`);
  return Buffer.from(base64, 'base64');
}

// How far two frames lie apart: the share of pixels whose channels differ by more than
// PIXEL_LEVELS, and the largest difference.
function frameDifference(got, want) {
  let differing = 0, largest = 0;
  for (let p = 0; p < want.length; p += 3) {
    const d = Math.max(Math.abs(got[p] - want[p]), Math.abs(got[p + 1] - want[p + 1]),
                       Math.abs(got[p + 2] - want[p + 2]));
    largest = Math.max(largest, d);
    if (d > PIXEL_LEVELS) differing++;
  }
  return { share: differing / (want.length / 3), largest };
}

// The page's frame against tests/golden's frame of the float depth path (WebGL2 has
// float render targets).
async function matchesGolden(page, frame, name) {
  const golden = readPngRgb(fs.readFileSync(path.join(ROOT, `tests/golden/${name}-float.png`))).rgb;
  const { share, largest } = frameDifference(await pageShotRgb(page, frame), golden);
  assert.ok(share <= PIXEL_SHARE,
            `${name}: ${(share * 100).toFixed(2)} % of the pixels differ (largest ${largest})`);
}

// The golden frames' story input (tests/e2e/golden_frames.py): the square's scene read
// to its end, a walk through the forest gate and its fade, and map 2 in fog.
function goldenStory() {
  const code = 'import json, sys; sys.path.insert(0, sys.argv[1]); import golden_frames as g; ' +
               'print(json.dumps({"input": g.StoryInput(), "frames": g.STORY_FRAMES}))';
  return JSON.parse(execFileSync('python3', ['-c', code, path.join(ROOT, 'tests/e2e')], { encoding: 'utf8' }));
}

// The tab hidden for a while: the page is told so, as a browser tells it, and frozen
// as a browser freezes a background tab (no animation frames, no timers).
async function hideTab(page, milliseconds) {
  const setHidden = (hidden) => {
    for (const [key, value] of [['hidden', hidden], ['visibilityState', hidden ? 'hidden' : 'visible']])
      Object.defineProperty(document, key, { configurable: true, get: () => value });
    document.dispatchEvent(new Event('visibilitychange'));
  };
  const session = await page.context().newCDPSession(page);
  await page.evaluate(setHidden, true);
  await session.send('Page.setWebLifecycleState', { state: 'frozen' });
  await new Promise((resolve) => setTimeout(resolve, milliseconds));
  await session.send('Page.setWebLifecycleState', { state: 'active' });
  await page.evaluate(setHidden, false);
  await session.detach();
}

describe('the input script on the virtual clock, with the tab hidden on the way', () => {
  const story = goldenStory();
  const GOLDEN = [[25, 'map1-fog'], [1260, 'fade-midpoint'], [1470, 'map2-fog']];
  let page;

  before(async () => {
    for (const [frame, name] of GOLDEN) assert.equal(story.frames[frame], name);
    const script = 'data:text/plain,' + encodeURIComponent(story.input);
    page = await openPage(`${demo.url}?script=${encodeURIComponent(script)}&draw=shots` +
                          `&shots=${GOLDEN.map(([frame]) => frame).join(',')}`);
  });

  after(async () => {
    await page.close();
  });

  // In the story's order: each hide comes before golden frames that follow it, which then
  // show that the game went on exactly as if the tab had stayed in view.
  test('frame 25 matches the desktop golden frame', () => matchesGolden(page, 25, 'map1-fog'));

  test('a tab hidden in a scene: the scene goes on when the tab comes back', async () => {
    const before = await waitForState(page, (s) => s.scenario.text.length > 0, 'the scene\'s text');
    await hideTab(page, 2000);
    await waitForState(page, (s) => s.scenario.text !== before.scenario.text, 'the text going on');
  });

  test('a tab hidden in the middle of a fade pauses it, and the fade completes', async () => {
    await page.waitForFunction(() => { const s = window.tavelle.state(); return s && s.field.fade.active; },
                               null, { polling: 'raf', timeout: PATIENCE_MS });
    await hideTab(page, 2000);
    const shown = await page.evaluate(() => window.tavelle.state());
    assert.ok(shown.field.fade.active, 'the fade ran on while the tab was hidden');
    await waitForState(page, (s) => s.field.map === 2 && !s.field.fade.active, 'the fade completed');
  });

  for (const [frame, name] of GOLDEN.slice(1))
    test(`frame ${frame} matches the desktop golden frame`, () => matchesGolden(page, frame, name));
});

describe('a touch screen', () => {
  test('a tap on the ground walks the lead', async () => {
    const page = await openPage(demo.url, null, { hasTouch: true });
    const start = await waitForState(page, onField, 'the field');
    await page.touchscreen.tap(GRASS.x, GRASS.y);
    await waitForState(page, (s) => s.field.lead.x !== start.field.lead.x ||
                                    s.field.lead.z !== start.field.lead.z, 'the lead walking');
    await page.close();
  });
});

describe('saves in the browser', () => {
  const leadAt = (s, where) => s.field.lead.x === where.x && s.field.lead.z === where.z;

  test('a save made with F5 is loaded with F9 after the page is reloaded', async () => {
    const page = await openPage(demo.url);
    const start = (await waitForState(page, onField, 'the field')).field.lead;
    await page.mouse.click(SQUARE.x, SQUARE.y);
    const walked = await waitForState(page, (s) => s.field.lead.state === 0 && !leadAt(s, start),
                                      'a walk to its end');
    await page.keyboard.press('F5');
    await waitForState(page, (s) => s.note === 'Saved', 'the note that the game was saved');
    await page.reload();
    await waitForState(page, (s) => onField(s) && leadAt(s, start), 'the field after the reload');
    await page.keyboard.press('F9');
    await waitForState(page, (s) => onField(s) && s.note === 'Loaded' && leadAt(s, walked.field.lead),
                       'the lead where it was saved');
    await page.close();
  });

  // Without the browser's storage (private modes) the game plays on and its note says so.
  const withoutStorage = [
    ['has no IndexedDB', () => Object.defineProperty(window, 'indexedDB', { value: undefined })],
    ['refuses IndexedDB', () => {
      IDBFactory.prototype.open = () => { throw new DOMException('refused', 'SecurityError'); };
    }],
  ];
  for (const [what, initScript] of withoutStorage) {
    test(`a browser that ${what} still plays, and F5 says the save will not last`, async () => {
      const page = await openPage(demo.url, initScript);
      await waitForState(page, onField, 'the field');
      await page.keyboard.press('F5');
      const state = await waitForState(page, (s) => s.note !== '', 'the note after F5');
      assert.equal(state.note, 'Saved for this session only: no lasting storage');
      await page.close();
    });
  }
});

// Each message with how many times it came, in the order the messages first came; a
// box that says how many more of its message were held back counts as those.
function countMessages(boxes) {
  const counts = new Map();
  for (const box of boxes) {
    const held = box.match(/^([^]*)\n…（同じメッセージがさらに (\d+) 件）$/);
    const message = held ? held[1] : box;
    counts.set(message, (counts.get(message) || 0) + (held ? Number(held[2]) : 1));
  }
  return [...counts];
}

// Frames the desktop driver runs on broken data, and the page at least as many.
const DESKTOP_FRAMES = 120;

// The desktop driver's messages for the same data, as "caption: text".
function desktopMessages(dataDir, frames) {
  const run = spawnSync(path.join(BUILD, 'tavelle-play'), ['--data', dataDir, '--frames', String(frames)],
    { encoding: 'utf8', env: { ...process.env, SDL_VIDEODRIVER: 'offscreen', SDL_AUDIODRIVER: 'dummy' } });
  return run.stderr.split('\n').filter((l) => l.startsWith('MESSAGE ')).map((l) => l.slice(8));
}

describe('bad input over HTTP', () => {
  // A server left open keeps the test run from ending, so each closes after its test
  // whether it passed or not.
  test('a missing sound file and a cut archive give the desktop\'s messages and the game goes on', async (t) => {
    const site = await serveSite(SITE, { '/game/Sound/normal.ogg': 'missing', '/game/ZRN.dat': 'cut' });
    t.after(() => site.close());
    const page = await openPage(site.url);
    const seen = [];
    const deadline = Date.now() + PATIENCE_MS;
    let lastBox = Date.now();
    while (Date.now() < deadline) {
      if (await page.isVisible('#message')) {
        seen.push(`${await page.textContent('#message-caption')}: ${await page.textContent('#message-text')}`);
        await page.click('#message-ok');
        lastBox = Date.now();
      } else {
        const state = await page.evaluate(() => window.tavelle.started && window.tavelle.state());
        if (state && state.frame >= DESKTOP_FRAMES && Date.now() - lastBox > 2000) break;
      }
      await page.waitForTimeout(200);
    }
    await page.close();

    // The desktop given the same files: the archive cut where the page's transfer was.
    const cut = page.log.map((line) => line.match(/ZRN\.dat: transfer cut short after (\d+) bytes/))
      .find(Boolean);
    assert.ok(cut, 'the page did not see the archive cut short');
    const broken = fs.mkdtempSync(path.join(os.tmpdir(), 'tavelle-web-broken-'));
    t.after(() => fs.rmSync(broken, { recursive: true, force: true }));
    fs.cpSync(path.join(SITE, 'game'), broken, { recursive: true });
    fs.rmSync(path.join(broken, 'Sound/normal.ogg'));
    fs.truncateSync(path.join(broken, 'ZRN.dat'), Number(cut[1]));
    // A box without a caption is titled with the program's name, on the desktop as here.
    const want = desktopMessages(broken, DESKTOP_FRAMES).map((m) => (m.startsWith(': ') ? 'Tavelle' + m : m));
    assert.ok(want.length > 0, 'the desktop gave no message for the broken data');
    // The page, as the desktop window, shows a message a few times in one frame and
    // then once with the number held back; the headless driver prints every one.
    assert.deepEqual(countMessages(seen).counts, countMessages(want).counts);
  });

  test('a page opened from a file says that it must be served', async () => {
    const page = await openPage('file://' + path.join(SITE, 'index.html'));
    assert.match(await page.textContent('#notice-text'), /must be served/);
    await page.close();
  });

  test('a browser without WebGL2 is told so in words', async () => {
    const page = await openPage(demo.url, () => {
      const getContext = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
        return kind === 'webgl2' ? null : getContext.call(this, kind, ...rest);
      };
    });
    await page.waitForSelector('#notice-text:not(:empty)');
    assert.match(await page.textContent('#notice-text'), /no WebGL2/);
    await page.close();
  });
});

describe('zrn web', () => {
  test('a new game exported with zrn web plays to its first scene', async (t) => {
    const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tavelle-web-new-'));
    const zrn = path.join(BUILD, 'zrn');
    execFileSync(zrn, ['new', path.join(work, 'starter')]);
    execFileSync(zrn, ['web', path.join(work, 'starter'), path.join(work, 'site'),
                       '--player', path.join(ROOT, 'build-web/player/web')]);
    assert.match(fs.readFileSync(path.join(work, 'site/index.html'), 'utf8'), /<title>starter<\/title>/);
    const site = await serveSite(path.join(work, 'site'));
    t.after(() => site.close());
    const page = await openPage(site.url);
    await waitForState(page, onField, 'the starter game\'s field');
    await page.mouse.click(STARTER_MARKER.x, STARTER_MARKER.y);
    await waitForState(page, (s) => s.scenario.text === 'ここは新しいゲームの広場です。',
                       'the first scene\'s first line');
    await page.close();
    fs.rmSync(work, { recursive: true, force: true });
  });
});
