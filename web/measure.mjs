// Measures the page in headless Chromium beside a bare WebGL page that only
// clears its canvas, loaded the same way in the same browser: the time from
// navigation to the first frame (medians over several loads of each, taken
// in turns), and the CPU time the whole browser spends per frame while each
// page runs on its own.
//   node measure.mjs SITE_DIR [LOADS]     (web/measure.sh runs it)
import { readFileSync, readdirSync, writeFileSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launchChromium } from './chromium.mjs';

const [site, loadsArgument] = process.argv.slice(2);
const loads = Number(loadsArgument || 7);
const bareDir = mkdtempSync(join(tmpdir(), 'ostrivane-bare-'));
writeFileSync(join(bareDir, 'index.html'), `<!DOCTYPE html><html><head><meta charset="utf-8">
<title>bare</title></head><body style="margin:0"><canvas id="c" width="600" height="600"></canvas><script>
var gl = document.getElementById('c').getContext('webgl', { alpha: false, antialias: false });
gl.clearColor(0, 0, 0, 0);
gl.clear(gl.COLOR_BUFFER_BIT);
window.ostrivaneFirstFrame = performance.now();
(function frame() { gl.clear(gl.COLOR_BUFFER_BIT); requestAnimationFrame(frame); })();
</script></body></html>`);
const pages = { ostrivane: `file://${site}/index.html`, bare: `file://${bareDir}/index.html` };

// CPU seconds used so far by the browser and every process under it.
const ticksPerSecond = 100;
function browserCpu(rootPid) {
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
  let total = 0;
  for (const queue = [rootPid]; queue.length > 0;) {
    const pid = queue.pop();
    total += ticks.get(pid) || 0;
    queue.push(...(children.get(pid) || []));
  }
  return total / ticksPerSecond;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const browser = await launchChromium();
const firstFrames = { ostrivane: [], bare: [] };
// Per load: the page's own script run, the program's script read, decoded
// and run, main started, first frame.
const steps = [];
const cpuPerFrame = {};
const messages = new Set();
try {
  for (let i = 0; i < loads; ++i) {
    for (const [name, url] of Object.entries(pages)) {
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      page.on('console', (m) => messages.add(`${name}: console.${m.type()}: ${m.text()}`));
      page.on('pageerror', (e) => messages.add(`${name}: error: ${e.message}`));
      await page.setViewport({ width: 600, height: 600 });
      await page.goto(url, { waitUntil: 'domcontentloaded' });
      await page.waitForFunction('window.ostrivaneFirstFrame !== undefined', { timeout: 20000 });
      firstFrames[name].push(await page.evaluate('window.ostrivaneFirstFrame'));
      if (name === 'ostrivane') {
        steps.push(await page.evaluate(() => {
          const at = (mark) => performance.getEntriesByName(mark)[0].startTime;
          return [at('ostrivane-page'), at('ostrivane-evaluated'), at('ostrivane-main'), window.ostrivaneFirstFrame];
        }));
      }
      await context.close();
    }
  }
  for (const [name, url] of Object.entries(pages)) {
    const page = await browser.newPage();
    await page.setViewport({ width: 600, height: 600 });
    await page.goto(url);
    await page.waitForFunction('window.ostrivaneFirstFrame !== undefined', { timeout: 20000 });
    await page.evaluate(() => {
      window.frames = 0;
      (function count() { ++window.frames; requestAnimationFrame(count); })();
    });
    await new Promise((done) => setTimeout(done, 1000));
    const cpuBefore = browserCpu(browser.process().pid);
    const framesBefore = await page.evaluate('window.frames');
    await new Promise((done) => setTimeout(done, 5000));
    const cpu = browserCpu(browser.process().pid) - cpuBefore;
    const frames = (await page.evaluate('window.frames')) - framesBefore;
    cpuPerFrame[name] = { ms: (cpu * 1000) / frames, frames };
    await page.close();
  }
} finally {
  await browser.close();
  rmSync(bareDir, { recursive: true, force: true });
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
const step = (i) => median(steps.map((s) => s[i] - (i > 0 ? s[i - 1] : 0))).toFixed(0);
console.log(`  Ostrivane's steps, medians: navigation to its script ${step(0)} ms, reading, decoding and ` +
            `running the script ${step(1)} ms, compiling the WebAssembly to main ${step(2)} ms, ` +
            `main to the first frame ${step(3)} ms`);
console.log(`CPU of the whole browser per frame: Ostrivane ${cpuPerFrame.ostrivane.ms.toFixed(2)} ms ` +
            `(${cpuPerFrame.ostrivane.frames} frames), bare WebGL page ${cpuPerFrame.bare.ms.toFixed(2)} ms ` +
            `(${cpuPerFrame.bare.frames} frames): ${(cpuPerFrame.ostrivane.ms / cpuPerFrame.bare.ms).toFixed(2)}x`);
