// The page's own cases, beside the scenarios that every target runs: touch
// and on-screen keyboards, the square world, a lost WebGL context, the app's
// manifest, icons and offline start, keyboard-only and screen-reader use
// (with axe-core), the contrast setting, and the page at rest. The picture
// is judged by probes at world positions, as the render tests do, against
// the colours of the desktop program's own capture.
//   node page_test.mjs SITE_DIR CASE     (tests/web/node.sh runs it)
import { createServer } from 'node:http';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { extname, join, normalize } from 'node:path';
import assert from 'node:assert/strict';
import { PNG } from 'pngjs';
import { launchChromium } from './chromium.mjs';

const [site, which] = process.argv.slice(2);
// The commonest colour that is not black among pixels [r, g, b].
function commonest(pixels) {
  const counts = new Map();
  pixels.filter((p) => p.some((v) => v > 0)).forEach((p) => counts.set(`${p}`, (counts.get(`${p}`) || 0) + 1));
  return [...counts].sort((a, b) => b[1] - a[1])[0]?.[0].split(',').map(Number);
}
// A square of `side` pixels at (left, top) that shows the world: `at` gives
// the pixel of a world position.
function showing(left, top, side) {
  return { left, top, side, at: (wx, wy) => [left + ((wx + 50) / 100) * side, top + ((50 - wy) / 100) * side] };
}
// The probes of a picture whose `box` shows the world: `near(wx, wy,
// radius)` lists the pixels within `radius` of a world position,
// `inside(x1, y1, x2, y2)` those of a world rectangle, each as [r, g, b].
function probes(png, box) {
  const pixels = (left, top, right, bottom) => {
    const found = [];
    for (let y = Math.max(0, top); y <= Math.min(png.height - 1, bottom); ++y) {
      for (let x = Math.max(0, left); x <= Math.min(png.width - 1, right); ++x) {
        found.push([...png.data.subarray((y * png.width + x) * 4, (y * png.width + x) * 4 + 3)]);
      }
    }
    return found;
  };
  return {
    png,
    near(wx, wy, radius) {
      const [px, py] = box.at(wx, wy).map(Math.floor);
      return pixels(px - radius, py - radius, px + radius, py + radius);
    },
    inside(x1, y1, x2, y2) {
      const [left, top] = box.at(x1, y2).map(Math.ceil);
      const [right, bottom] = box.at(x2, y1).map(Math.floor);
      return pixels(left, top, right, bottom);
    },
  };
}
// The desktop program's colours, from its own capture: the README's picture
// (the figure sheared by 1), which the docs tests keep equal to what the
// program draws.
const capture = probes(PNG.sync.read(readFileSync(join(process.env.OSTRIVANE_SOURCE_DIR, 'docs/images/window.png'))),
  showing(0, 0, 600));
const desktop = {
  figure: commonest(capture.near(8.5, 5.5, 2)),
  axis: commonest(capture.near(-22, 0, 2)),
  tick: commonest(capture.near(-20, 0.6, 2)),
};
// A colour within one step per channel, as rounding may give.
const like = (colour) => (p) => p.every((v, i) => Math.abs(v - colour[i]) <= 1);
const yellow = like(desktop.figure);
const blue = like(desktop.axis);
// The icon's yellow figure and blue axes.
const iconYellow = ([r, g, b]) => r > 230 && g > 200 && b < 90;
const iconBlue = ([r, g, b]) => r < 90 && g < 130 && b > 180;
const white = ([r, g, b]) => r > 240 && g > 240 && b > 240;
const identity = '1.00, 0.00, 0.00; 0.00, 1.00, 0.00; 0.00, 0.00, 1.00';

// The page at `url`, loaded until its first frame, with every console
// message and error kept in page.messages.
async function open(browser, url, viewport) {
  const page = await browser.newPage();
  // Counts what reaches WebGL, to tell a page at rest.
  await page.evaluateOnNewDocument(() => {
    window.drawCalls = 0;
    const draw = WebGLRenderingContext.prototype.drawArrays;
    WebGLRenderingContext.prototype.drawArrays = function (...args) {
      ++window.drawCalls;
      return draw.apply(this, args);
    };
  });
  page.messages = [];
  page.on('console', (m) => page.messages.push(`console.${m.type()}: ${m.text()}`));
  page.on('pageerror', (e) => page.messages.push(`error: ${e.message}`));
  await page.setViewport({ deviceScaleFactor: 1, ...viewport });
  await page.goto(url);
  await page.waitForFunction('window.drawCalls > 0', { timeout: 20000 });
  return page;
}

// The canvas's place in the page, and the page pixel of a world position.
async function square(page) {
  const box = await page.$eval('#canvas', (c) => {
    const r = c.getBoundingClientRect();
    return { left: r.left, top: r.top, side: r.width, height: r.height, pixels: c.width };
  });
  return { ...box, ...showing(box.left, box.top, box.side) };
}

// Entry (column, row)'s cell, which the page lays over its highlight box
// where the program says the box is: its centre in page pixels, and its
// world corners [left, bottom, right, top].
const cellRect = (page, c, r) => page.$eval(`#matrix [role=row]:nth-child(${r + 2}) > :nth-child(${c + 2})`, (e) => {
  const b = e.getBoundingClientRect();
  return [b.left, b.top, b.right, b.bottom];
});
async function entry(page, c, r) {
  const [left, top, right, bottom] = await cellRect(page, c, r);
  return [(left + right) / 2, (top + bottom) / 2];
}
async function entryBox(page, c, r) {
  const box = await square(page);
  const [left, top, right, bottom] = await cellRect(page, c, r);
  const world = (x, y) => [((x - box.left) / box.side) * 100 - 50, 50 - ((y - box.top) / box.side) * 100];
  const [x1, y1] = world(left, bottom);
  const [x2, y2] = world(right, top);
  return [x1, y1, x2, y2];
}

// The page's picture after a few more frames, with its probes.
async function picture(page) {
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  return probes(PNG.sync.read(Buffer.from(await page.screenshot())), await square(page));
}

// Whether a pixel within `radius` of world (wx, wy) passes `test`.
async function hasNear(page, test, wx, wy, radius = 2) {
  return (await picture(page)).near(wx, wy, radius).some(test);
}

// axe-core's WCAG 2.x A and AA rules and its best practices, run in the page;
// it is taught ARIA 1.3's texts for a cell's row and column, which the grid's
// cells use.
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
async function axeViolations(page) {
  await page.evaluate(axeSource);
  return page.evaluate(async () => (window.axe.configure({ standards: { ariaAttrs: {
    'aria-rowindextext': { type: 'string', global: true }, 'aria-colindextext': { type: 'string', global: true },
  } } }),
  await window.axe.run({
    runOnly: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice'],
  })).violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`));
}

// The accessible tree's node of an entry, as a screen reader gets it.
async function entryNode(page, name) {
  const find = (node) => (node.name === name ? node : (node.children || []).map(find).find(Boolean));
  return find(await page.accessibility.snapshot());
}

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
// What reached WebGL in `ms` milliseconds.
async function drawsWithin(page, ms) {
  const before = await page.evaluate(() => window.drawCalls);
  await sleep(ms);
  return (await page.evaluate(() => window.drawCalls)) - before;
}
const said = (page) => page.$eval('#status', (p) => p.textContent);

const focused = (page) => page.evaluate(() => document.activeElement.id || document.activeElement.localName);
// The nine values as the page's table states them, row by row.
const stated = (page) => page.$$eval('#matrix [role=row]', (rows) => rows.slice(1).map((row) =>
  [...row.querySelectorAll('[role=gridcell]')].map((e) => (e.querySelector('input')?.value ?? e.textContent)
    .split(',')[0]).join(', ')).join('; '));

// A server of the site's files at `server.base` (a path of its own); each
// file's body goes through `server.rewrite(name, text)` once that is set.
async function serve() {
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    if (!path.startsWith('/course/')) {
      response.writeHead(404).end();
      return;
    }
    const name = path.slice('/course/'.length) || 'index.html';
    const file = join(site, name);
    try {
      const body = server.rewrite ? Buffer.from(server.rewrite(name, readFileSync(file, 'latin1')), 'latin1')
        : readFileSync(file);
      const type = { '.html': 'text/html', '.js': 'text/javascript', '.png': 'image/png',
                     '.webmanifest': 'application/manifest+json' }[extname(file)] || 'application/octet-stream';
      response.writeHead(200, { 'Content-Type': type }).end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
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
  const server = await serve();
  const page = await open(browser, server.base, { width: 600, height: 600 });
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 20000 });
  return [server, page];
}

const cases = {
  // A phone held upright: the square at the top; taps start entries and
  // focus the entry's own field; an on-screen keyboard's text, its deletion
  // and Enter, an Android 229 keydown and an attached keyboard's keys each
  // type once.
  async touchAndOnScreenKeyboard(browser) {
    const page = await open(browser, `file://${site}/index.html`,
      { width: 390, height: 844, isMobile: true, hasTouch: true });
    const box = await square(page);
    assert.deepEqual([box.left, box.top, box.side, box.height, box.pixels], [0, 0, 390, 390, 390]);
    assert.equal(await stated(page), identity);
    assert.match(await page.$eval('#canvas', (c) => `${c.getAttribute('role')}: ${c.getAttribute('aria-label')}`),
      /^img: .*stick figure.*matrix/);

    await page.touchscreen.tap(...await entry(page, 0, 0));
    assert.equal(await focused(page), 'editor', 'a tap on an entry focuses the field in its cell');
    assert.equal(await page.$eval('#editor', (f) => f.parentNode === document.querySelector('#matrix [role=gridcell]')),
      true, 'in the cell of row 1, column 1');
    // A second press would have stored the empty entry as 0, and said so.
    assert.equal(await said(page), '', 'a tap is one press');
    const field = await page.$eval('#editor', (f) => ({
      attributes: ['autocapitalize', 'autocorrect', 'spellcheck', 'autocomplete', 'inputmode']
        .map((a) => `${a}=${f.getAttribute(a)}`).join(' '),
      fontSize: parseFloat(getComputedStyle(f).fontSize),
      colour: getComputedStyle(f).color,
      scroll: [window.scrollX, window.scrollY, window.visualViewport.scale],
    }));
    assert.equal(field.attributes, 'autocapitalize=off autocorrect=off spellcheck=false autocomplete=off inputmode=text');
    assert.ok(field.fontSize >= 16 && field.colour === 'rgba(0, 0, 0, 0)', 'the field is unseen and not zoomed into');
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
    assert.equal(await stated(page), '25.00, 0.00, 0.00; 0.00, 1.00, 0.00; 0.00, 0.00, 1.00');
    assert.equal(await focused(page), 'body', 'Enter ends the entry and lets the keyboard close');
    // x scaled by 25: the body, at x = 3, now stands at x = 75, off the
    // world; nothing yellow stays where it was.
    assert.ok(!(await hasNear(page, yellow, 3, 5.5)), 'the figure follows the stored 25');

    // From one entry to another the field stays focused; a tap elsewhere ends it.
    await page.touchscreen.tap(...await entry(page, 0, 0));
    await page.keyboard.sendCharacter('1');
    await page.touchscreen.tap(...await entry(page, 1, 0));
    assert.equal(await page.$eval('#editor', (f) => f === document.activeElement &&
      f.parentNode === document.querySelectorAll('#matrix [role=gridcell]')[1]), true);
    await page.keyboard.sendCharacter('1');
    await page.touchscreen.tap(...box.at(-30, -30));
    assert.equal(await focused(page), 'body', 'a tap elsewhere ends the entry');
    assert.equal(await stated(page), '1.00, 1.00, 0.00; 0.00, 1.00, 0.00; 0.00, 0.00, 1.00');
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
    // The style placed the square before the first paint: nothing moved since.
    assert.equal(await page.evaluate(() => new Promise((done) => {
      let shift = 0;
      new PerformanceObserver((list) => list.getEntries().forEach((e) => { shift += e.value; }))
        .observe({ type: 'layout-shift', buffered: true });
      setTimeout(() => done(shift), 500);
    })), 0, 'the layout shift since the page opened');
    assert.ok(await hasNear(page, blue, 0, 40) && await hasNear(page, blue, 40, 0), 'the axes');
    assert.ok(!(await hasNear(page, (p) => p.some((v) => v > 0), -55, 0, 20)), 'black beside the square');
    await page.mouse.click(...await entry(page, 2, 0));
    await page.keyboard.type('20');
    await page.keyboard.press('Enter');
    assert.equal(await stated(page), '1.00, 0.00, 20.00; 0.00, 1.00, 0.00; 0.00, 0.00, 1.00');
    assert.ok(await hasNear(page, yellow, 23, 5.5) && !(await hasNear(page, yellow, 3, 5.5)));
    assert.deepEqual(page.messages, []);
  },

  // A student without a pointer: Tab reaches the six entries in reading
  // order and leaves them, Shift+Tab comes back, the arrows move between
  // them; Enter gives the program a click at the entry's centre, so the
  // edit draws what the same edit by mouse draws; the focus stays on the
  // entry, the accessible tree names it with its value, and the status says
  // what changed. The focus mark shows for the keyboard only, and axe finds
  // nothing at load, while an entry is typed or after the commit.
  async keyboardOnly(browser) {
    const page = await open(browser, `file://${site}/index.html`, { width: 600, height: 600 });
    const box = await square(page);
    assert.deepEqual(await axeViolations(page), [], 'at load');
    const tab = async (shift) => {
      await (shift ? page.keyboard.down('Shift') : null);
      await page.keyboard.press('Tab');
      await (shift ? page.keyboard.up('Shift') : null);
      return focused(page);
    };
    const order = [];
    for (let i = 0; i < 7; ++i) {
      order.push(await tab(false));
    }
    assert.deepEqual(order.slice(0, 6), ['entry-1-1', 'entry-1-2', 'entry-1-3', 'entry-2-1', 'entry-2-2', 'entry-2-3']);
    assert.ok(!order[6].startsWith('entry'), 'Tab leaves the entries');
    for (const expected of ['entry-2-3', 'entry-2-2', 'entry-2-1', 'entry-1-3', 'entry-1-2']) {
      assert.equal(await tab(true), expected);
    }
    const [markX, , , markY] = await entryBox(page, 1, 0);
    assert.ok(await hasNear(page, white, markX, markY, 4), 'the focus mark at the corner of the box');

    // Enter starts the entry in a text field of its own, named as it starts,
    // so that a screen reader turns to typing into it.
    await page.keyboard.press('Enter');
    await page.keyboard.type('1');
    const started = 'Row 1, column 2: editing, empty. Type a number; Enter stores it.';
    assert.equal(await focused(page), 'editor');
    assert.equal((await entryNode(page, started)).value, '1', 'the text typed so far');
    assert.deepEqual(await axeViolations(page), [], 'while an entry is typed');
    await page.keyboard.press('Enter');
    assert.equal(await focused(page), 'entry-1-2', 'the focus goes back to the entry\'s cell');
    assert.equal(await page.$eval('#entry-1-2', (e) => e.textContent), '1.00');
    assert.equal(await said(page), 'Row 1, column 2 is now 1, and the key points below are updated.');
    assert.equal(await page.$eval('#points', (l) => l.innerText), ['A 0, 0 goes to 0, 0', 'B 6, 0 goes to 6, 0',
      'C 3, 3 goes to 6, 3', 'D 3, 10 goes to 13, 10', 'E 4.5, 7.5 goes to 12, 7.5'].join('\n'));
    // Positions come from the grid's headers, not from each cell's name.
    assert.deepEqual(await page.$$eval('#matrix [role=columnheader], #matrix [role=rowheader]',
      (h) => h.map((e) => e.textContent)), ['Row', 'Column 1', 'Column 2', 'Column 3', 'Row 1', 'Row 2', 'Row 3']);
    assert.deepEqual(await axeViolations(page), [], 'after the commit');
    const byKeyboard = (await picture(page)).inside(-50, -50, 50, 50);

    // The same edit by mouse draws the same picture, but for the focus mark.
    const other = await open(browser, `file://${site}/index.html`, { width: 600, height: 600 });
    await other.mouse.click(...await entry(other, 1, 0));
    await other.keyboard.type('1');
    await other.keyboard.press('Enter');
    const byMouse = (await picture(other)).inside(-50, -50, 50, 50);
    assert.equal(byKeyboard.filter((p, i) => `${p}` !== `${byMouse[i]}` && !white(p)).length, 0,
      'pixels other than the focus mark that differ from the edit by mouse');
    // (Below -44 the contrast switch stands in the square's corner.)
    assert.ok(!(await picture(other)).inside(-50, -44, 50, 50).some(white), 'a click shows no focus mark');
    await other.close();

    // Space starts an entry too, and Esc commits it; the arrows move.
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press(' ');
    assert.equal((await entryNode(page, 'Row 1, column 3: editing, empty. Type a number; Enter stores it.')).value ?? '',
      '', 'the entry started empty');
    await page.keyboard.press('Escape');
    assert.equal(await said(page), 'Row 1, column 3 is now 0, and the key points below are updated.');
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('ArrowDown');
    assert.equal(await focused(page), 'entry-2-3', 'right stops at the row\'s end, down goes to the next row');

    // Text read otherwise than it says is explained in words.
    for (const [typed, explained] of [
      ['0,5', 'Row 2, column 3: 0,5 was read as 0: the number ends at the comma. Write 0.5.'],
      ['1e39', 'Row 2, column 3 is now infinity (the number was too large), and the key points below are updated.'],
      ['-2.5x', 'Row 2, column 3: -2.5x was read as -2.5: the number ends at the letter x.'],
      ['abc', 'Row 2, column 3: abc was read as 0: it does not start with a number.']]) {
      await page.keyboard.press('Enter');
      await page.keyboard.type(typed);
      await page.keyboard.press('Enter');
      assert.equal(await said(page), explained);
    }
    // A press and the keys after it, with no frame between them: each key
    // is read against the program's state as it arrives.
    assert.equal(await page.evaluate(() => {
      const key = (k) => document.activeElement.dispatchEvent(new KeyboardEvent('keydown', { key: k, bubbles: true, cancelable: true }));
      document.getElementById('entry-2-1').focus();
      ['Enter', '7', 'Enter'].forEach(key);
      return document.getElementById('status').textContent;
    }), 'Row 2, column 1 is now 7, and the key points below are updated.');
    assert.equal(await stated(page), '1.00, 1.00, 0.00; 7.00, 1.00, 0.00; 0.00, 0.00, 1.00');
    // Ctrl+A selects nothing of the layer over the picture.
    await page.keyboard.down('Control');
    await page.keyboard.press('a');
    await page.keyboard.up('Control');
    assert.equal(await page.evaluate(() => getSelection().toString()), '');
    assert.deepEqual(page.messages, []);
  },

  // Without a setting the axes and ticks are drawn in the desktop program's
  // colours. The system's contrast setting, forced colours and the page's
  // own switch each draw them otherwise, all three alike (gl.cpp's table and
  // its ratios are the glyph test's, PageColours); the switch is remembered
  // for the next visit and switches off again, and it stands in the margin
  // beside a square that leaves one.
  async contrastOnRequest(browser) {
    const opened = async (feature) => {
      const page = await open(browser, `file://${site}/index.html`, { width: 900, height: 600 });
      if (feature) {
        await (await page.createCDPSession()).send('Emulation.setEmulatedMedia', { features: [feature] });
      }
      return page;
    };
    const drawn = async (page, close = false) => {
      const shown = await picture(page);
      await (close ? page.close() : null);
      return [commonest(shown.near(-22, 0, 2)), commonest(shown.near(-20, 0.6, 2))];
    };
    const page = await opened(null);
    const [axis, tick] = await drawn(page);
    assert.ok(like(desktop.axis)(axis) && like(desktop.tick)(tick), `axis ${axis}, tick ${tick}, as the desktop draws them`);
    const more = await drawn(await opened({ name: 'prefers-contrast', value: 'more' }), true);
    assert.ok(!like(desktop.axis)(more[0]) && !like(desktop.tick)(more[1]), `with more contrast: axis ${more[0]}, tick ${more[1]}`);
    assert.deepEqual(await drawn(await opened({ name: 'forced-colors', value: 'active' }), true), more, 'forced colours');

    const [pressed, left] = await page.$eval('#contrast', (b) => [b.getAttribute('aria-pressed'), b.getBoundingClientRect().left]);
    assert.equal(pressed, 'false');
    assert.ok(left >= (await square(page)).left + 600, 'the switch beside the square');
    await page.focus('#contrast');
    await page.keyboard.press('Space');
    assert.deepEqual(await drawn(page), more, 'the switch draws what the system setting draws');
    const next = await opened(null);
    assert.equal(await next.$eval('#contrast', (b) => b.getAttribute('aria-pressed')), 'true', 'remembered');
    assert.deepEqual(await drawn(next, true), more);
    await page.click('#contrast');
    assert.deepEqual(await drawn(page), [axis, tick], 'switched off');
    assert.deepEqual(page.messages, []);
  },

  // At rest nothing reaches WebGL, and the right picture comes back with no
  // further input after a resize, a lost and restored context (with an edit
  // made while it was lost), and the page hidden and shown again. While an
  // entry is in progress the box pulses.
  async restsAndComesBack(browser) {
    const page = await open(browser, `file://${site}/index.html`, { width: 600, height: 600 });
    let figureX = 3;
    const figureAndAxes = async (what) => {
      assert.ok(await hasNear(page, yellow, figureX, 5.5) && await hasNear(page, blue, -22, 0), what);
      // Within ten half seconds, one in which nothing reaches WebGL.
      let rested = false;
      for (let i = 0; i < 10 && !rested; ++i) {
        rested = (await drawsWithin(page, 500)) === 0;
      }
      assert.ok(rested, `the page comes to rest ${what}`);
    };
    await figureAndAxes('after the first frame');
    await page.setViewport({ width: 500, height: 700, deviceScaleFactor: 1 });
    await page.waitForFunction(() => document.getElementById('canvas').width === 500, { timeout: 10000 })
      .catch(() => assert.fail('the canvas never followed the resize to 500 pixels'));
    await figureAndAxes('after a resize');

    // The browser drops the WebGL context and gives it back: an edit made
    // meanwhile shows on the next frames.
    await page.evaluate(() => new Promise((done) => {
      const canvas = document.getElementById('canvas');
      canvas.addEventListener('webglcontextlost', done, { once: true });
      window.lose = canvas.getContext('webgl').getExtension('WEBGL_lose_context');
      window.lose.loseContext();
    }));
    await page.mouse.click(...await entry(page, 2, 0));
    await page.keyboard.type('20');
    await page.keyboard.press('Enter');
    await page.evaluate(() => window.lose.restoreContext());
    await page.waitForFunction(() => !document.getElementById('canvas').getContext('webgl').isContextLost(),
      { timeout: 10000 }).catch(() => assert.fail('the browser never gave the context back'));
    figureX = 23;
    await figureAndAxes('after the context came back, through the matrix edited meanwhile');
    assert.ok(!(await hasNear(page, yellow, 3, 5.5)), 'the figure as it was before the edit');

    const other = await browser.newPage();
    await other.bringToFront();
    assert.equal(await page.evaluate(() => document.visibilityState), 'hidden');
    await page.bringToFront();
    await other.close();
    await figureAndAxes('after the page was shown again');

    const drawn = await page.evaluate(() => window.drawCalls);
    await page.mouse.click(...await entry(page, 0, 0));
    await page.waitForFunction((n) => window.drawCalls > n, { timeout: 10000 }, drawn)
      .catch(() => assert.fail('the pulsing box is never drawn'));
    assert.deepEqual(page.messages, []);
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
      const colours = probes(png, showing(0, 0, size)).inside(-50, -50, 50, 50);
      assert.ok(colours.some(iconYellow) && colours.some(iconBlue), `icon ${size} shows the figure on the axes`);
    }
    assert.match((await page.evaluate(() => caches.keys())).join(), /^ostrivane-[0-9a-f]{16}$/);
    await server.stop();
    await page.reload();
    await page.waitForFunction('window.drawCalls > 0', { timeout: 20000 });
    assert.equal(await page.title(), 'Ostrivane');
    assert.ok(await hasNear(page, yellow, 3, 5.5), 'the page draws without a server');
    assert.deepEqual(page.messages, []);
  },

  // A newer release put on the server over an installed copy: the newer
  // page within two visits, its worker's cache the only one kept, and that
  // page offline too.
  async installedCopyUpdates(browser) {
    const [server, page] = await openInstalled(browser);
    // The next release as the server gives it: its page marked
    // data-build="newer", its worker's cache named anew, as the build names
    // it after the files, which changed.
    const cache = readFileSync(join(site, 'sw.js'), 'utf8').match(/'(ostrivane-[0-9a-f]{16})'/)[1];
    const newerCache = cache.replace(/[0-9a-f]{16}$/, (hash) => [...hash].map((d) => (parseInt(d, 16) ^ 1).toString(16)).join(''));
    server.rewrite = (name, text) => ({
      'index.html': text.replace('<html lang="en">', '<html lang="en" data-build="newer">'),
      'sw.js': text.replaceAll(cache, newerCache),
    }[name] ?? text);
    // A student opening the page again.
    const visit = async () => {
      await page.goto(server.base);
      await page.waitForFunction('window.drawCalls > 0', { timeout: 20000 });
      return page.evaluate(() => document.documentElement.dataset.build);
    };
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
  },
};

const browser = await launchChromium();
try {
  await cases[which](browser);
  console.log(`${which}: passed`);
} finally {
  await browser.close();
}
