// Measures the page in headless Chromium beside plain pages loaded the same
// way in the same browser: the time from navigation to the first frame
// (medians over several loads of it and of a bare WebGL page, taken in
// turns), and the CPU time the whole browser spends per second while each of
// five pages runs on its own (medians of three rounds of five seconds):
// Ostrivane at rest, Ostrivane with an entry in progress, the bare page that
// clears on every animation frame, a page whose animation-frame loop draws
// nothing, and a still page that drew once.
//   node measure.mjs SITE_DIR [LOADS]     (bench/measure.sh runs it)
import { readFileSync, readdirSync, writeFileSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launchChromium } from './chromium.mjs';

const [site, loadsArgument] = process.argv.slice(2);
const loads = Number(loadsArgument || 7);
const plainDir = mkdtempSync(join(tmpdir(), 'ostrivane-plain-'));
const pages = { ostrivane: `file://${site}/index.html` };
// Each clears a 600x600 WebGL canvas once and marks its first frame as
// Ostrivane does, then runs `loop`.
for (const [name, loop] of Object.entries({
  bare: '(function frame() { gl.clear(gl.COLOR_BUFFER_BIT); requestAnimationFrame(frame); })();',
  loop: '(function frame() { requestAnimationFrame(frame); })();',
  still: '',
})) {
  writeFileSync(join(plainDir, `${name}.html`), `<!DOCTYPE html><html><head><meta charset="utf-8">
<title>${name}</title></head><body style="margin:0"><canvas id="c" width="600" height="600"></canvas><script>
var gl = document.getElementById('c').getContext('webgl', { alpha: false, antialias: false });
gl.clearColor(0, 0, 0, 0);
gl.clear(gl.COLOR_BUFFER_BIT);
window.ostrivaneFirstFrame = performance.now();
${loop}
</script></body></html>`);
  pages[name] = `file://${plainDir}/${name}.html`;
}
// The pages whose CPU is measured, and what is done to each once it is drawn:
// a click on the top-left entry, at world (31.5, 44.5), starts an entry
// (which focuses that entry's field).
const cpuCases = [
  ['Ostrivane at rest (no entry in progress, nothing touched)', 'ostrivane'],
  ['Ostrivane while an entry is in progress', 'ostrivane', async (page) => {
    await page.mouse.click((31.5 + 50) * 6, (50 - 44.5) * 6);
    if (await page.evaluate(() => document.activeElement.id) !== 'entry-1-1') {
      messages.add('ostrivane: the click on the top-left entry started no entry');
    }
  }],
  ['a bare WebGL page that clears on every animation frame', 'bare'],
  ['a page whose animation-frame loop draws nothing', 'loop'],
  ['a still page that drew once', 'still'],
];

// CPU ticks used so far by the browser and each process under it, by pid.
function browserTicks(rootPid) {
  const children = new Map();
  const ticks = new Map();
  for (const name of readdirSync('/proc').filter((n) => /^\d+$/.test(n))) {
    try {
      const fields = readFileSync(`/proc/${name}/stat`, 'utf8').replace(/^.*\) /, '').split(' ');
      children.set(Number(fields[1]), [...(children.get(Number(fields[1])) || []), Number(name)]);
      ticks.set(Number(name), Number(fields[11]) + Number(fields[12]));
    } catch {
      // The process has ended.
    }
  }
  const tree = new Map();
  for (const queue = [rootPid]; queue.length > 0;) {
    const pid = queue.pop();
    tree.set(pid, ticks.get(pid) || 0);
    queue.push(...(children.get(pid) || []));
  }
  return tree;
}

// CPU milliseconds the browser spends per second over `seconds`, counting
// the processes alive at the end (one that ends meanwhile, such as the
// renderer of a page closed just before, is left out).
async function browserCpuPerSecond(rootPid, seconds) {
  const ticksPerSecond = 100;
  const before = browserTicks(rootPid);
  const start = performance.now();
  await new Promise((done) => setTimeout(done, seconds * 1000));
  let ticks = 0;
  for (const [pid, now] of browserTicks(rootPid)) {
    ticks += now - (before.get(pid) || 0);
  }
  return (ticks / ticksPerSecond) * 1000 / ((performance.now() - start) / 1000);
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const browser = await launchChromium();
const firstFrames = { ostrivane: [], bare: [] };
// Per load: the page's own script run, the program's script read, decoded
// and run, main started, first frame.
const cpuPerSecond = cpuCases.map(() => []);
const messages = new Set();
// Page `name` loaded in a browser context of its own until its first frame.
async function load(name) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.on('console', (m) => messages.add(`${name}: console.${m.type()}: ${m.text()}`));
  page.on('pageerror', (e) => messages.add(`${name}: error: ${e.message}`));
  await page.setViewport({ width: 600, height: 600 });
  // Ostrivane's first frame is its first draw that reaches WebGL; the page
  // itself carries no measuring hook.
  await page.evaluateOnNewDocument(() => {
    const draw = WebGLRenderingContext.prototype.drawArrays;
    WebGLRenderingContext.prototype.drawArrays = function (...args) {
      window.ostrivaneFirstFrame ??= performance.now();
      return draw.apply(this, args);
    };
  });
  await page.goto(pages[name], { waitUntil: 'domcontentloaded' });
  await page.waitForFunction('window.ostrivaneFirstFrame !== undefined', { timeout: 20000 });
  return [context, page];
}
try {
  for (let i = 0; i < loads; ++i) {
    for (const name of Object.keys(firstFrames)) {
      const [context, page] = await load(name);
      firstFrames[name].push(await page.evaluate('window.ostrivaneFirstFrame'));
      await context.close();
    }
  }
  for (let round = 0; round < 3; ++round) {
    for (const [i, [, name, start]] of cpuCases.entries()) {
      const [context, page] = await load(name);
      await start?.(page);
      await new Promise((done) => setTimeout(done, 1000));
      cpuPerSecond[i].push(await browserCpuPerSecond(browser.process().pid, 5));
      await context.close();
    }
  }
} finally {
  await browser.close();
  rmSync(plainDir, { recursive: true, force: true });
}
console.log(`messages on the pages' consoles: ${messages.size}`);
for (const message of messages) {
  console.log(`  ${message}`);
}
const [own, bare] = [median(firstFrames.ostrivane), median(firstFrames.bare)];
console.log(`first frame after navigation, medians of ${loads} loads: Ostrivane ${own.toFixed(0)} ms, ` +
            `bare WebGL page ${bare.toFixed(0)} ms (${(own / bare).toFixed(2)}x)`);
console.log(`  Ostrivane: ${firstFrames.ostrivane.map((t) => t.toFixed(0)).join(', ')} ms`);
console.log(`  bare page: ${firstFrames.bare.map((t) => t.toFixed(0)).join(', ')} ms`);
const cpu = cpuPerSecond.map(median);
console.log('CPU of the whole browser, ms per second (medians of three rounds of five seconds; the rounds):');
for (const [i, [label]] of cpuCases.entries()) {
  console.log(`  ${label.padEnd(58)} ${cpu[i].toFixed(0).padStart(5)}   ` +
              `(${cpuPerSecond[i].map((v) => v.toFixed(0)).join(', ')})`);
}
const goal = (what, value, limit, rule) => console.log(`  goal ${what}: at most ${limit.toFixed(0)} ` +
  `(${rule}); ${value.toFixed(0)}: ${value <= limit ? 'met' : 'not met'}`);
goal('at rest', cpu[0], cpu[4] + 20, 'the still page + 20');
goal('with an entry in progress', cpu[1], 1.25 * cpu[2], '1.25x the bare clearing page');
