// Opens a page in headless Chromium in a 600x600 viewport, waits until the
// program has drawn its first frame (the page records it in
// window.ostrivaneFirstFrame) and saves a screenshot.
//   node first_frame.mjs URL PNG      (web/node.sh runs it)
import { launchChromium } from './chromium.mjs';

const [url, png] = process.argv.slice(2);
const browser = await launchChromium();
const messages = [];
let status = 0;
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 600, height: 600, deviceScaleFactor: 1 });
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
