// The release library where no WebView2 runtime can be found: Microsoft's
// loader inside it finds none (no variable, nothing in the registry), and
// every showing opens the chooser window with the notice instead of a page.
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { promisify } from 'node:util';
import { after, before, describe, it } from 'node:test';
import { HostShowing } from '../../tools/chromium_driver/host_showing.mjs';

const artifacts = process.env.TUNEWELL_ARTIFACTS_DIR ?? path.resolve('build/artifacts');
const noticeStart = 'The song list needs the Microsoft Edge WebView2 Runtime';

// The X display that Wine draws on, as tools/wine-run.sh picks it.
async function screenshotOfDisplay(file) {
  fs.mkdirSync(path.dirname(file), { recursive: true });
  const display = process.env.DISPLAY || `:${process.env.TUNEWELL_DISPLAY_NUMBER ?? 87}`;
  await promisify(execFile)('import', ['-display', display, '-window', 'root', file], { timeout: 20000 });
  return file;
}

describe('the chooser without a browser runtime', () => {
  let host;
  let from = 0;

  before(async () => {
    host = await HostShowing.start({ runtime: false });
    from = await host.waitForLine('event OnOpen');
  });

  after(async () => {
    if (host)
      await host.stop();
  });

  async function showNotice() {
    host.command('menu 0');
    from = await host.waitForLine('event OnModeChanged 1', from);
    host.command(`expect text ${noticeStart}`);
    from = await host.waitForLine(/^(ok|FAILED) text /, from);
    assert.equal(host.lines[from - 1], `ok text ${noticeStart}`, host.context());
  }

  async function closeWithTheCloseBox() {
    host.command('click-close-box');
    from = await host.waitForLine('returned OnModeChanged 1', from);
    host.command('expect window hidden');
    from = await host.waitForLine(/^(ok|FAILED) window hidden/, from);
    assert.equal(host.lines[from - 1], 'ok window hidden');
  }

  it('opens the window with the notice, which a screenshot of the display shows', async () => {
    await showNotice();
    // Wine paints the window after the host's loop has had a turn.
    host.command('wait-ms 300');
    host.command('expect window visible');
    from = await host.waitForLine(/^(ok|FAILED) window visible/, from);
    assert.equal(host.lines[from - 1], 'ok window visible');
    await screenshotOfDisplay(path.join(artifacts, 'e2e-no-runtime-notice.png'));
  });

  it('ends the showing with the close box and returns the host\'s thread', closeWithTheCloseBox);

  it('shows the notice again on a second showing, which the close box ends as well', async () => {
    await showNotice();
    await closeWithTheCloseBox();
  });

  it('quits normally and never reached a browser', async () => {
    const code = await host.stop();
    assert.equal(code, 0, `host exit code${host.context()}`);
    assert.equal(host.driver.sessions.length, 0);
    host = undefined;
  });
});
