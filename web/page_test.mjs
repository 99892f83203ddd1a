// The page's own cases, beside the scenarios that every target runs: touch
// and on-screen keyboards, the square world, a lost WebGL context, the app's
// manifest, icons and offline start, and the text for screen readers. The
// picture is judged by probes at world positions, as the render tests do.
//   node page_test.mjs SITE_DIR CASE     (web/node.sh runs it)
import { createServer } from 'node:http';
import { execFileSync } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import assert from 'node:assert/strict';
import { PNG } from 'pngjs';
import { launchChromium } from './chromium.mjs';

const [site, which] = process.argv.slice(2);
const yellow = ([r, g, b]) => r > 200 && g > 200 && b < 100;
const blue = ([r, g, b]) => r < 40 && g < 40 && b > 100;
// The icon's yellow figure and blue axes.
const iconYellow = ([r, g, b]) => r > 230 && g > 200 && b < 90;
const iconBlue = ([r, g, b]) => r < 90 && g < 130 && b > 180;
const matrixText = (rows) => `The matrix, row by row: ${rows}.`;
const identity = '1.00, 0.00, 0.00; 0.00, 1.00, 0.00; 0.00, 0.00, 1.00';

// The page at `url`, loaded until its first frame, with every console
// message and error kept in page.messages.
async function open(browser, url, viewport) {
  const page = await browser.newPage();
  page.messages = [];
  page.on('console', (m) => page.messages.push(`console.${m.type()}: ${m.text()}`));
  page.on('pageerror', (e) => page.messages.push(`error: ${e.message}`));
  await page.setViewport({ deviceScaleFactor: 1, ...viewport });
  await page.goto(url);
  await page.waitForFunction('window.ostrivaneFirstFrame !== undefined', { timeout: 20000 });
  return page;
}

// The canvas's place in the page, and the page pixel of a world position.
async function square(page) {
  const box = await page.$eval('#canvas', (c) => {
    const r = c.getBoundingClientRect();
    return { left: r.left, top: r.top, side: r.width, height: r.height, pixels: c.width };
  });
  box.at = (wx, wy) => [box.left + ((wx + 50) / 100) * box.side, box.top + ((50 - wy) / 100) * box.side];
  return box;
}

// Entry (column, row) of the panel, at the centre of its highlight box.
const entry = (box, c, r) => box.at(31.5 + 7 * c, 44.5 - 7 * r);

// Whether a pixel within `radius` of world (wx, wy) passes `test`, in the
// picture of the page after a few more frames.
async function hasNear(page, test, wx, wy, radius = 2) {
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  const png = PNG.sync.read(Buffer.from(await page.screenshot()));
  const [px, py] = (await square(page)).at(wx, wy).map(Math.floor);
  for (let y = py - radius; y <= py + radius; ++y) {
    for (let x = px - radius; x <= px + radius; ++x) {
      const i = (y * png.width + x) * 4;
      if (x >= 0 && y >= 0 && x < png.width && y < png.height && test([...png.data.subarray(i, i + 3)])) {
        return true;
      }
    }
  }
  return false;
}

// A server of the files in `server.root`, at `server.base` (a path of its
// own); `server.root` may change while it runs.
async function serve(root) {
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    if (!path.startsWith('/course/')) {
      response.writeHead(404).end();
      return;
    }
    const file = join(server.root, path.slice('/course/'.length) || 'index.html');
    try {
      const body = readFileSync(file);
      const type = { '.html': 'text/html', '.js': 'text/javascript', '.png': 'image/png',
                     '.webmanifest': 'application/manifest+json' }[extname(file)] || 'application/octet-stream';
      response.writeHead(200, { 'Content-Type': type }).end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  server.root = root;
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  server.base = `http://127.0.0.1:${server.address().port}/course/`;
  server.stop = () => {
    server.closeAllConnections();
    return new Promise((done) => server.close(done));
  };
  return server;
}

// The site served and opened once, its service worker installed and in
// control of the page.
async function openInstalled(browser) {
  const server = await serve(site);
  const page = await open(browser, server.base, { width: 600, height: 600 });
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 20000 });
  return [server, page];
}

// The next release of `site`, made as the build makes a site (web/make_site.sh,
// from the sources in OSTRIVANE_SOURCE_DIR) from the same program and a page
// marked data-build="newer": its folder and its worker's cache name.
function newerBuild(site) {
  const source = process.env.OSTRIVANE_SOURCE_DIR;
  const dir = mkdtempSync(join(tmpdir(), 'ostrivane-newer-'));
  for (const file of ['web/manifest.webmanifest', 'web/sw.js', 'web/make_site.sh', 'packaging/ostrivane.svg']) {
    cpSync(join(source, file), join(dir, 'source', file));
  }
  const page = readFileSync(join(source, 'web/index.html'), 'utf8');
  const newerPage = page.replace('<html lang="en">', '<html lang="en" data-build="newer">');
  assert.notEqual(newerPage, page, 'the newer build marks its page');
  writeFileSync(join(dir, 'source/web/index.html'), newerPage);
  cpSync(join(site, 'ostrivane.js'), join(dir, 'ostrivane.js'));
  execFileSync('bash', [join(dir, 'source/web/make_site.sh'), join(dir, 'source'), dir,
                        `${process.env.OSTRIVANE_VERSION}.1`]);
  rmSync(join(dir, 'source'), { recursive: true });
  const cacheOf = (folder) => readFileSync(join(folder, 'sw.js'), 'utf8').match(/'(ostrivane-[0-9a-f]{16})'/)[1];
  assert.notEqual(cacheOf(dir), cacheOf(site), 'the newer worker keeps a cache of its own');
  return [dir, cacheOf(dir)];
}

const focused = (page) => page.evaluate(() => document.activeElement && document.activeElement.id);
const stated = (page) => page.$eval('#matrix-text', (p) => p.textContent);

const cases = {
  // A phone held upright: the square at the top; taps start entries and keep
  // the keyboard field focused; an on-screen keyboard's text, its deletion
  // and Enter, an Android 229 keydown and an attached keyboard's keys each
  // type once.
  async touchAndOnScreenKeyboard(browser) {
    const page = await open(browser, `file://${site}/index.html`,
      { width: 390, height: 844, isMobile: true, hasTouch: true });
    const box = await square(page);
    assert.deepEqual([box.left, box.top, box.side, box.height, box.pixels], [0, 0, 390, 390, 390]);
    assert.equal(await stated(page), matrixText(identity));
    assert.match(await page.$eval('#canvas', (c) => `${c.getAttribute('role')}: ${c.getAttribute('aria-label')}`),
      /^img: .*stick figure.*matrix/);

    await page.touchscreen.tap(...entry(box, 0, 0));
    assert.equal(await focused(page), 'keyboard-field', 'a tap on an entry focuses the keyboard field');
    // A second press would have committed the empty entry as 0.
    assert.equal(await stated(page), matrixText(identity), 'a tap is one press');
    const field = await page.$eval('#keyboard-field', (f) => ({
      attributes: ['autocapitalize', 'autocorrect', 'spellcheck', 'autocomplete', 'inputmode']
        .map((a) => `${a}=${f.getAttribute(a)}`).join(' '),
      fontSize: parseFloat(getComputedStyle(f).fontSize),
      opacity: getComputedStyle(f).opacity,
      scroll: [window.scrollX, window.scrollY, window.visualViewport.scale],
    }));
    assert.equal(field.attributes, 'autocapitalize=off autocorrect=off spellcheck=false autocomplete=off inputmode=text');
    assert.ok(field.fontSize >= 16 && field.opacity === '0', 'the field is unseen and not zoomed into');
    assert.deepEqual(field.scroll, [0, 0, 1]);
    assert.equal(await page.$eval('#canvas', (c) => getComputedStyle(c).touchAction), 'none');
    assert.equal(await page.$eval('#canvas', (c) =>
      c.dispatchEvent(new MouseEvent('contextmenu', { bubbles: true, cancelable: true }))), false,
    'a long press opens no menu');

    const cdp = await page.createCDPSession();
    const androidKeyDown = () => cdp.send('Input.dispatchKeyEvent',
      { type: 'rawKeyDown', key: 'Unidentified', code: '', windowsVirtualKeyCode: 229, nativeVirtualKeyCode: 229 });
    await androidKeyDown();
    await page.keyboard.sendCharacter('9');
    await androidKeyDown();
    await page.evaluate(() => document.execCommand('delete'));
    await page.keyboard.press('2');  // a keyboard attached to the tablet
    await page.keyboard.sendCharacter('5');
    await page.keyboard.press('Enter');
    assert.equal(await stated(page), matrixText('25.00, 0.00, 0.00; 0.00, 1.00, 0.00; 0.00, 0.00, 1.00'));
    assert.notEqual(await focused(page), 'keyboard-field', 'Enter ends the entry and lets the keyboard close');
    // x scaled by 25: the body, at x = 3, now stands at x = 75, off the
    // world; nothing yellow stays where it was.
    assert.ok(!(await hasNear(page, yellow, 3, 5.5)), 'the figure follows the stored 25');

    // From one entry to another the field stays focused; a tap elsewhere ends it.
    await page.touchscreen.tap(...entry(box, 0, 0));
    await page.keyboard.sendCharacter('1');
    await page.touchscreen.tap(...entry(box, 1, 0));
    assert.equal(await focused(page), 'keyboard-field');
    await page.keyboard.sendCharacter('1');
    await page.touchscreen.tap(...box.at(-30, -30));
    assert.notEqual(await focused(page), 'keyboard-field', 'a tap elsewhere ends the entry');
    assert.equal(await stated(page), matrixText('1.00, 1.00, 0.00; 0.00, 1.00, 0.00; 0.00, 0.00, 1.00'));
    // Sheared by 1: the middle of the body moves from (3, 5.5) to (8.5, 5.5).
    assert.ok(await hasNear(page, yellow, 8.5, 5.5) && !(await hasNear(page, yellow, 3, 5.5)));
    assert.deepEqual(page.messages, []);
  },

  // The first frame of a site opened from disk (the release check runs it on
  // the unzipped web download): the figure and the axes where they belong.
  async firstFrameFromDisk(browser) {
    const page = await open(browser, `file://${site}/index.html`, { width: 600, height: 600 });
    assert.ok(await hasNear(page, yellow, 3, 5.5), 'the yellow figure at (3, 5.5)');
    assert.ok(await hasNear(page, blue, -22, 0), 'the blue axis at (-22, 0)');
    assert.deepEqual(page.messages, []);
  },

  // A 16:9 screen opened from disk: the square centred across, black
  // around it, the world in it unstretched, clicks mapped into it, and
  // nothing on the console.
  async squareOnAWideScreen(browser) {
    const page = await open(browser, `file://${site}/index.html`, { width: 1280, height: 720 });
    const box = await square(page);
    assert.deepEqual([box.left, box.top, box.side, box.height, box.pixels], [280, 0, 720, 720, 720]);
    assert.ok(await hasNear(page, blue, 0, 40) && await hasNear(page, blue, 40, 0), 'the axes');
    assert.ok(!(await hasNear(page, (p) => p.some((v) => v > 0), -55, 0, 20)), 'black beside the square');
    await page.mouse.click(...entry(box, 2, 0));
    await page.keyboard.type('20');
    await page.keyboard.press('Enter');
    assert.equal(await stated(page), matrixText('1.00, 0.00, 20.00; 0.00, 1.00, 0.00; 0.00, 0.00, 1.00'));
    assert.ok(await hasNear(page, yellow, 23, 5.5) && !(await hasNear(page, yellow, 3, 5.5)));
    assert.deepEqual(page.messages, []);
  },

  // The browser drops the WebGL context and gives it back: the edit made
  // meanwhile shows on the next frames.
  async lostContextComesBack(browser) {
    const page = await open(browser, `file://${site}/index.html`, { width: 600, height: 600 });
    const box = await square(page);
    await page.evaluate(() => new Promise((done) => {
      const canvas = document.getElementById('canvas');
      canvas.addEventListener('webglcontextlost', done, { once: true });
      window.lose = canvas.getContext('webgl').getExtension('WEBGL_lose_context');
      window.lose.loseContext();
    }));
    await page.mouse.click(...entry(box, 2, 0));
    await page.keyboard.type('20');
    await page.keyboard.press('Enter');
    await page.evaluate(() => window.lose.restoreContext());
    await page.waitForFunction(() => !document.getElementById('canvas').getContext('webgl').isContextLost(),
      { timeout: 10000 }).catch(() => assert.fail('the browser never gave the context back'));
    assert.ok(await hasNear(page, yellow, 23, 5.5), 'the figure is drawn again, through the edited matrix');
    assert.ok(await hasNear(page, blue, 0, 40) && !(await hasNear(page, yellow, 3, 5.5)));
  },

  // Served under a path of its own: the manifest, its icons, the service
  // worker, and a reload with the server stopped.
  async installableAndOffline(browser) {
    const [server, page] = await openInstalled(browser);
    const manifest = await page.evaluate(async () => {
      const link = document.querySelector('link[rel=manifest]');
      return (await fetch(link.href)).json();
    });
    assert.equal(manifest.name, 'Ostrivane');
    assert.equal(manifest.display, 'standalone');
    assert.deepEqual([manifest.background_color, manifest.theme_color], ['#000000', '#000000']);
    assert.deepEqual([manifest.start_url, manifest.scope], ['./', './']);
    assert.equal(manifest.version, process.env.OSTRIVANE_VERSION);
    for (const size of [192, 512]) {
      const icon = manifest.icons.find((i) => i.sizes === `${size}x${size}`);
      assert.equal(icon.type, 'image/png');
      const png = PNG.sync.read(readFileSync(join(site, icon.src)));
      assert.deepEqual([png.width, png.height], [size, size]);
      // The SVG's yellow figure and blue axes.
      const colours = [];
      for (let i = 0; i < png.data.length; i += 4) {
        colours.push([...png.data.subarray(i, i + 3)]);
      }
      assert.ok(colours.some(iconYellow) && colours.some(iconBlue), `icon ${size} shows the figure on the axes`);
    }
    assert.match((await page.evaluate(() => caches.keys())).join(), /^ostrivane-[0-9a-f]{16}$/);
    await server.stop();
    await page.reload();
    await page.waitForFunction('window.ostrivaneFirstFrame !== undefined', { timeout: 20000 });
    assert.equal(await page.title(), 'Ostrivane');
    assert.ok(await hasNear(page, yellow, 3, 5.5), 'the page draws without a server');
    assert.deepEqual(page.messages, []);
  },

  // A newer release put on the server over an installed copy: the newer
  // page within two visits, its worker's cache the only one kept, and that
  // page offline too.
  async installedCopyUpdates(browser) {
    const [server, page] = await openInstalled(browser);
    const [newer, newerCache] = newerBuild(site);
    // A student opening the page again.
    const visit = async () => {
      await page.goto(server.base);
      await page.waitForFunction('window.ostrivaneFirstFrame !== undefined', { timeout: 20000 });
      return page.evaluate(() => document.documentElement.dataset.build);
    };
    try {
      server.root = newer;
      if (await visit() !== 'newer') {
        assert.equal(await visit(), 'newer', 'the newer page on the second visit');
      }
      await page.waitForFunction((name) => caches.keys().then((names) => names.join() === name),
        { timeout: 20000 }, newerCache).catch(async () =>
        assert.fail(`caches ${await page.evaluate(() => caches.keys())}, not only the newer ${newerCache}`));
      await server.stop();
      assert.equal(await visit(), 'newer', 'the newer page offline');
      assert.ok(await hasNear(page, yellow, 3, 5.5), 'the newer page draws without a server');
      assert.deepEqual(page.messages, []);
    } finally {
      rmSync(newer, { recursive: true, force: true });
    }
  },
};

const browser = await launchChromium();
try {
  await cases[which](browser);
  console.log(`${which}: passed`);
} finally {
  await browser.close();
}
