// How Microsoft's loader inside the release library finds a browser runtime
// when WEBVIEW2_BROWSER_EXECUTABLE_FOLDER is unset: with nothing installed,
// every showing opens the chooser window with the notice instead of a page;
// once the stand-in is written into the registry as an installed runtime, the
// next showing finds it there, in the same host process. The loader reads the value EBWebView of a release
// channel's ClientState key (machine hive first, then the user's), takes its
// last folder name as the runtime's version, and loads
// EBWebView\x64\EmbeddedBrowserWebView.dll below it
// (tools/webview2_standin/README.md).
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { promisify } from 'node:util';
import { after, before, describe, it } from 'node:test';
import {
  HostShowing, barText, sampleSongs, standinRuntimeFile, windowsBuildDir, windowsPath, wineRun,
} from '../../tools/chromium_driver/host_showing.mjs';

const artifacts = process.env.TUNEWELL_ARTIFACTS_DIR ?? path.resolve('build/artifacts');
const noticeStart = 'The song list needs the Microsoft Edge WebView2 Runtime';
const edgeUpdate = 'HKCU\\Software\\Wow6432Node\\Microsoft\\EdgeUpdate';
const stableClientState = `${edgeUpdate}\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}`;
// At least the oldest runtime that the loader accepts (it refuses 1.0.0.0).
const installedVersion = '130.0.0.0';

// The X display that Wine draws on, as tools/wine-run.sh picks it.
async function screenshotOfDisplay(file) {
  fs.mkdirSync(path.dirname(file), { recursive: true });
  const display = process.env.DISPLAY || `:${process.env.TUNEWELL_DISPLAY_NUMBER ?? 87}`;
  await promisify(execFile)('import', ['-display', display, '-window', 'root', file], { timeout: 20000 });
  return file;
}

describe('the chooser without a browser runtime, until one is installed', () => {
  let host;
  let from = 0;
  // The Wine prefix is shared with every other test: the runtime written
  // into it is removed afterwards, and a run that was killed may have left
  // one behind. The loader reads the registry at each showing, so the host
  // may start meanwhile.
  const uninstall = () => wineRun(['reg', 'delete', edgeUpdate, '/f']);

  before(async () => {
    [host] = await Promise.all([HostShowing.start({ runtime: false }), uninstall()]);
    from = await host.waitForLine('event OnOpen');
  });

  after(async () => {
    if (host)
      await host.stop();
    await uninstall();
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

  // As the notice asks: install the runtime, then open the song list again.
  it('finds a runtime installed meanwhile through the registry alone, at the next showing', async () => {
    const installed = path.join(windowsBuildDir(), 'webview2-installed-runtime', installedVersion);
    const runtimeFile = path.join(installed, 'EBWebView/x64/EmbeddedBrowserWebView.dll');
    fs.mkdirSync(path.dirname(runtimeFile), { recursive: true });
    fs.copyFileSync(standinRuntimeFile(), runtimeFile);
    const added = await wineRun(['reg', 'add', stableClientState, '/v', 'EBWebView', '/d', windowsPath(installed), '/f']);
    assert.equal(added, 0, 'writing the runtime into the Wine prefix\'s registry');

    host.command('menu 0');
    from = await host.waitForLine('event OnModeChanged 1', from);
    const view = await host.currentView();
    await host.waitForList(view, sampleSongs().map(barText), 'the song list');
    await closeWithTheCloseBox();
  });

  it('quits normally, having reached a browser only once the runtime was installed', async () => {
    const code = await host.stop();
    assert.equal(code, 0, `host exit code${host.context()}`);
    assert.equal(host.driver.sessions.length, 1);
    host = undefined;
  });
});
