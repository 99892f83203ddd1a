// Opens a page in headless Chromium (software WebGL) in a 600x600 viewport,
// waits until the program has drawn its first frame (the page records it in
// window.ostrivaneFirstFrame) and saves a screenshot.
//   node first_frame.mjs URL PNG
import puppeteer from 'puppeteer-core';

const [url, png] = process.argv.slice(2);
const args = ['--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
              '--no-first-run', '--disable-background-networking', '--disable-component-update',
              '--disable-sync', '--hide-scrollbars', '--window-size=600,600'];
if (process.getuid && process.getuid() === 0) {
  args.push('--no-sandbox');
}
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args,
  defaultViewport: { width: 600, height: 600 },
});
const messages = [];
let status = 0;
try {
  const page = await browser.newPage();
  page.on('console', (message) => messages.push(`console.${message.type()}: ${message.text()}`));
  page.on('pageerror', (error) => messages.push(`error: ${error.message}`));
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction('window.ostrivaneFirstFrame !== undefined', { timeout: 30000 });
  // One more frame, so that the first is on the screen.
  await page.evaluate('new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))');
  await page.screenshot({ path: png });
} catch (error) {
  console.error(`${url}: ${error.message}`);
  for (const message of messages) {
    console.error(`  ${message}`);
  }
  status = 1;
} finally {
  await browser.close();
}
process.exit(status);
