// Debian's Chromium, headless, with the flags of chromium-flags.txt (software
// WebGL) and a fresh profile that is removed when the browser is closed: what
// the page's tests and the measurement drive.
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

export async function launchChromium() {
  const profile = mkdtempSync(join(tmpdir(), 'ostrivane-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: readFileSync(new URL('chromium-flags.txt', import.meta.url), 'utf8')
      .split('\n')
      .filter((line) => line.startsWith('--')),
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}
