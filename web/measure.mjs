// Loads the page in headless Chromium several times and prints the time from
// navigation to the first frame the program drew (the page records it in
// window.ostrivaneFirstFrame, on the clock that starts at navigation).
//   node measure.mjs URL [RUNS]
import puppeteer from 'puppeteer-core';

const url = process.argv[2];
const runs = Number(process.argv[3] || 5);
const args = ['--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
              '--no-first-run', '--disable-background-networking', '--disable-component-update',
              '--disable-sync', '--window-size=600,600'];
if (process.getuid && process.getuid() === 0) {
  args.push('--no-sandbox');
}
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args,
  defaultViewport: { width: 600, height: 600 },
});
const times = [];
const messages = [];
let title = '';
try {
  for (let i = 0; i < runs; ++i) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    page.on('console', (message) => messages.push(`console.${message.type()}: ${message.text()}`));
    page.on('pageerror', (error) => messages.push(`error: ${error.message}`));
    await page.goto(url, { waitUntil: 'domcontentloaded' });
    await page.waitForFunction('window.ostrivaneFirstFrame !== undefined', { timeout: 20000 });
    times.push(await page.evaluate('window.ostrivaneFirstFrame'));
    title = await page.title();
    await context.close();
  }
} finally {
  await browser.close();
}
times.sort((a, b) => a - b);
const median = times[Math.floor(times.length / 2)];
console.log(`title: ${title}`);
console.log(`messages on the page's console: ${messages.length}`);
for (const message of new Set(messages)) {
  console.log(`  ${message}`);
}
console.log(`first frame after navigation: median ${median.toFixed(0)} ms over ${runs} loads ` +
            `(${times.map((t) => t.toFixed(0)).join(', ')} ms)`);
