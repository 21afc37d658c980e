// The page around the web player: it fetches the game's files with a progress bar,
// hands them to the player's file system, and stands in for the desktop around the
// game: the message box, fullscreen, sound after the first gesture, the end page.
(function () {
  'use strict';

  const GAME_DIR = '/game';
  const FONT_FILE = '/tavelle/font/gothic.ttf';
  // Saves and settings: the folders the game keeps them in (XDG_DATA_HOME and
  // XDG_CONFIG_HOME below it) are copied to the browser's storage, IndexedDB, whose
  // database is named by this path; it must never change, or players lose their saves.
  const KEPT_DIR = '/kept';
  const byId = (id) => document.getElementById(id);
  let player = null;
  let audioStarted = false;
  let ended = false;
  // Whether the browser's storage holds the kept folders: false where IndexedDB is
  // missing or refuses (some private modes); the game then says that saves will not last.
  let storageWorks = false;

  function say(text, offerRestart) {
    byId('loading').hidden = true;
    byId('notice-text').textContent = text;
    byId('restart').hidden = !offerRestart;
    byId('notice').hidden = false;
  }

  function showProgress(loaded, total) {
    byId('progress').value = total > 0 ? loaded / total : 0;
    const mb = (n) => (n / 1048576).toFixed(1);
    byId('progress-text').textContent = `Loading… ${mb(loaded)} of ${mb(total)} MB`;
  }

  // One file's bytes; null when the server has no such file. A transfer cut short
  // keeps what arrived: the game then finds the file damaged, as it would on a disc.
  async function fetchFile(url, onBytes) {
    let response;
    try {
      response = await fetch(url);
    } catch (error) {
      return null;
    }
    if (!response.ok) return null;
    const chunks = [];
    let length = 0;
    try {
      const reader = response.body.getReader();
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        chunks.push(value);
        length += value.length;
        onBytes(value.length);
      }
    } catch (error) {
      console.warn(`${url}: transfer cut short after ${length} bytes`);
    }
    const data = new Uint8Array(length);
    let offset = 0;
    for (const chunk of chunks) {
      data.set(chunk, offset);
      offset += chunk.length;
    }
    return data;
  }

  async function fetchGame(manifest) {
    const wanted = manifest.files.map((f) => ({ url: 'game/' + f.path, path: GAME_DIR + '/' + f.path, size: f.size }));
    wanted.push({ url: manifest.font, path: FONT_FILE, size: manifest.fontSize });
    const total = wanted.reduce((sum, f) => sum + f.size, 0);
    let loaded = 0;
    showProgress(0, total);
    const files = [];
    for (const file of wanted) {
      let got = 0;
      const data = await fetchFile(file.url, (n) => {
        got += n;
        loaded += n;
        showProgress(loaded, total);
      });
      // A missing file still counts as done in the bar.
      loaded += Math.max(0, file.size - got);
      showProgress(loaded, total);
      if (data) files.push({ path: file.path, data });
      else console.warn(`${file.url}: not on the server; the game will find it missing`);
    }
    return files;
  }

  function writeFiles(fs, files) {
    for (const file of files) {
      const parts = file.path.split('/').filter((p) => p);
      let dir = '';
      for (const part of parts.slice(0, -1)) {
        dir += '/' + part;
        try { fs.mkdir(dir); } catch (error) { /* already there */ }
      }
      fs.writeFile(file.path, file.data);
    }
    try { fs.mkdir(GAME_DIR); } catch (error) { /* already there */ }
  }

  // The game's message box: it waits for OK while the page goes on.
  function showMessage(caption, text) {
    const dialog = byId('message');
    byId('message-caption').textContent = caption;
    byId('message-text').textContent = text;
    if (window.tavelle) window.tavelle.messages.push({ caption, text });
    return new Promise((resolve) => {
      dialog.addEventListener('close', () => resolve(), { once: true });
      dialog.showModal();
    });
  }

  // Copies the kept folders between memory and the browser's storage: from it before
  // the game starts, to it after every file the game puts in place. True when done.
  function syncKeptFiles(fromStorage) {
    return new Promise((resolve) => {
      try {
        player.FS.syncfs(fromStorage, (error) => {
          if (error) console.warn(`The browser's storage refused the saves: ${error}`);
          resolve(!error);
        });
      } catch (error) {
        console.warn(`The browser's storage cannot be used: ${error}`);
        resolve(false);
      }
    });
  }

  // Before the program runs: the kept folders live in IndexedDB when the browser has it
  // (without it, the file system's copy would abort the program), else only in memory.
  function mountKeptFolders(module) {
    module.FS.mkdir(KEPT_DIR);
    module.ENV.XDG_DATA_HOME = KEPT_DIR + '/data';
    module.ENV.XDG_CONFIG_HOME = KEPT_DIR + '/config';
    let hasIndexedDb = false;
    try {
      hasIndexedDb = typeof indexedDB !== 'undefined' && indexedDB !== null;
    } catch (error) { /* refused outright */ }
    if (hasIndexedDb) module.FS.mount(module.FS.filesystems.IDBFS, {}, KEPT_DIR);
    storageWorks = hasIndexedDb;
  }

  // The game awaits this after putting a file in place, and says "Saved" only after it.
  async function keepFiles() {
    return storageWorks && await syncKeptFiles(false);
  }

  function audioContext() {
    return player && player.SDL2 && player.SDL2.audioContext;
  }

  // Browsers allow no sound before the player's first click, touch or key.
  function startAudio() {
    audioStarted = true;
    const context = audioContext();
    if (context && context.state === 'suspended' && !document.hidden) context.resume();
  }

  function toggleFullscreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (document.documentElement.requestFullscreen) document.documentElement.requestFullscreen();
  }

  function onGameEnded() {
    if (ended) return;
    ended = true;
    byId('fullscreen').hidden = true;
    byId('stage').hidden = true;
    if (document.fullscreenElement) document.exitFullscreen();
    say('The game has ended.', true);
    if (window.tavelle) window.tavelle.ended = true;
  }

  function installPageKeys() {
    // Fullscreen belongs to the page: F11 and Alt+Enter never reach the game.
    window.addEventListener('keydown', (event) => {
      if (event.key === 'F11' || (event.key === 'Enter' && event.altKey)) {
        event.preventDefault();
        event.stopImmediatePropagation();
        if (!event.repeat) toggleFullscreen();
      }
    }, true);
    for (const type of ['pointerdown', 'touchstart', 'keydown'])
      window.addEventListener(type, startAudio, { capture: true, passive: true });
    document.addEventListener('visibilitychange', () => {
      const context = audioContext();
      if (!context) return;
      if (document.hidden) context.suspend();
      else if (audioStarted) context.resume();
    });
    // The canvas follows the window; SDL learns its new size from this event.
    document.addEventListener('fullscreenchange', () => window.dispatchEvent(new Event('resize')));
    byId('fullscreen').addEventListener('click', toggleFullscreen);
    byId('restart').addEventListener('click', () => location.reload());
  }

  // SDL's browser audio asks the emscripten library for this helper, which this
  // emscripten does not have: the page resumes the sound itself at the first gesture.
  if (typeof window.autoResumeAudioContext !== 'function')
    window.autoResumeAudioContext = function () {};

  async function start() {
    if (location.protocol === 'file:') {
      say('This page must be served by a web server: a page opened from a file may not ' +
          'load the game\'s files. Serve this folder (for example with "python3 -m http.server") ' +
          'and open its address.', false);
      return;
    }
    if (!document.createElement('canvas').getContext('webgl2')) {
      say('This browser cannot show the game: it has no WebGL2. Try a current browser, ' +
          'or turn on hardware acceleration in its settings.', false);
      return;
    }
    if (typeof TavellePlayer !== 'function') {
      say('The player (tavelle.js) could not be loaded from the server.', false);
      return;
    }
    let manifest;
    try {
      const response = await fetch('tavelle-game.json');
      if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
      manifest = await response.json();
    } catch (error) {
      say(`The game's list of files (tavelle-game.json) could not be loaded: ${error.message}`, false);
      return;
    }
    // For tests and bug reports: ?script=URL plays tavelle-play's input file on a virtual
    // clock of 60 frames a second, &shots=25,100 copies those game frames to
    // window.tavelle.shots as they are presented, and &draw=shots rasterises only them.
    const query = new URLSearchParams(location.search);
    let script = null;
    if (query.has('script')) {
      const data = await fetchFile(new URL(query.get('script'), location.href).href, () => {});
      if (!data) {
        say(`The input script ${query.get('script')} could not be loaded.`, false);
        return;
      }
      script = new TextDecoder().decode(data);
    }
    const files = await fetchGame(manifest);
    installPageKeys();
    const options = {
      canvas: byId('canvas'),
      print: (text) => console.log(text),
      printErr: (text) => console.warn(text),
      tavelleShowMessage: showMessage,
      // The game hands control back to the page between frames, so the runtime stays
      // up after main's first return; the game's real end comes through tavelleEnded.
      noExitRuntime: true,
      tavelleEnded: onGameEnded,
      arguments: [],
      // The window system is the page: SDL's browser driver, named as the desktop
      // names its display.
      preRun: [(module) => {
        module.ENV.SDL_VIDEODRIVER = 'emscripten';
        mountKeptFolders(module);
      }],
      tavelleKeepFiles: keepFiles,
      tavelleShot: (frame, rgba, width, height) => {
        window.tavelle.shots[frame] = rgba && { rgba, width, height };
      },
    };
    if (window.tavelle) window.tavelle.configure(options);
    player = await TavellePlayer(options);
    writeFiles(player.FS, files);
    if (storageWorks) {
      byId('progress-text').textContent = 'Loading saves…';
      storageWorks = await syncKeptFiles(true);
    }
    if (script !== null) {
      for (const frame of (query.get('shots') || '').split(',').filter((f) => f))
        player._TavelleWantShot(Number(frame));
      const refusal = player.ccall('TavelleStartScript', 'string', ['string', 'number'],
                                   [script, query.get('draw') === 'shots' ? 1 : 0]);
      if (refusal) {
        say(`The input script was refused: ${refusal}`, false);
        return;
      }
    }
    byId('loading').hidden = true;
    byId('fullscreen').hidden = false;
    byId('canvas').focus();
    if (window.tavelle) window.tavelle.player = player;
    setTimeout(() => window.dispatchEvent(new Event('resize')), 0);
    requestAnimationFrame(countFrames);
    window.tavelle.started = true;
    player.callMain((manifest.unpacked ? ['--unpacked', GAME_DIR] : [GAME_DIR]).concat(window.tavelle ? window.tavelle.arguments() : []));
  }

  // For tests and bug reports: the game's state after its last frame, as tavelle-play's
  // --state writes it ("frame" counts the browser's frames since the game started), and
  // the messages the game has shown, with the note in the frame's corner as "note".
  let browserFrames = 0;
  function countFrames() {
    browserFrames++;
    if (!ended) requestAnimationFrame(countFrames);
  }
  window.tavelle = {
    messages: [],
    shots: {},
    ended: false,
    player: null,
    started: false,
    state() {
      if (!player || ended) return null;
      // Called directly: the game is parked between frames, which ccall would wait out.
      const state = JSON.parse(player.UTF8ToString(player._TavelleStateJson(browserFrames)));
      state.note = player.UTF8ToString(player._TavelleNote());
      return state;
    },
    configure() {},
    arguments() { return []; },
  };
  start();
})();
