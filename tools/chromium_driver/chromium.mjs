// Debian's Chromium as every browser test, the driver and the demo start it:
// headless, with a fresh profile, and without the background work that would
// reach the network. Browser downloads do not work here, so it is always the
// installed program, through playwright-core.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

export const chromiumPath = process.env.TUNEWELL_CHROMIUM ?? '/usr/bin/chromium';
export const chromiumArgs = ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-quic'];

// One Chromium with a profile of its own; close() ends it and removes the
// profile. The viewport, when given, is that of every page it opens.
export async function launchChromium({ profilePrefix = 'tunewell-chromium-', viewport } = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), profilePrefix));
  try {
    const context = await chromium.launchPersistentContext(profile, {
      executablePath: chromiumPath, headless: true, timeout: 30000, args: chromiumArgs,
      ...(viewport ? { viewport } : {}),
    });
    return {
      context,
      async close() {
        await context.close();
        fs.rmSync(profile, { recursive: true, force: true });
      },
    };
  } catch (error) {
    fs.rmSync(profile, { recursive: true, force: true });
    throw error;
  }
}
