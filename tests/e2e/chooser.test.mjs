// The whole chooser: the release Tunewell library in the host simulator under
// Wine, Microsoft's loader inside it finding the stand-in runtime through
// WEBVIEW2_BROWSER_EXECUTABLE_FOLDER, its page in a real Chromium, real mouse
// clicks.
import assert from 'node:assert/strict';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import { HostShowing, barText, sampleSongs } from '../../tools/chromium_driver/host_showing.mjs';

const songs = sampleSongs();
const expectedBars = songs.map(barText);
const renamedBars = () => expectedBars.map((bar, index) =>
  (index === 2 ? barText({ name: 'Hoppípolla (live) & <encore>', artist: songs[2].artist }) : bar));
const artifacts = process.env.TUNEWELL_ARTIFACTS_DIR ?? path.resolve('build/artifacts');

describe('the chooser in Chromium, driven by the host simulator', () => {
  let host;
  let view;
  let from = 0;

  before(async () => {
    host = await HostShowing.start();
    from = await host.waitForLine('event OnOpen');
  });

  after(async () => {
    if (host)
      await host.stop();
  });

  it('opens from the menu after the hand-shake and lists every song exactly as the host names it', async () => {
    host.command('menu 0');
    from = await host.waitForLine('call Vantor_SwitchToSetlistView', from);
    from = await host.waitForLine('event OnModeChanged 1', from);
    view = await host.currentView();
    await host.waitForList(view, expectedBars, 'the song list');
    assert.equal(await view.page.textContent('#list-title'), 'Tunewell');
    assert.equal(await view.page.textContent('#close-window'), '\u00d7');
    assert.deepEqual(await host.selectedIndices(view), []);
    assert.deepEqual(view.pageErrors, []);
  });

  it('switches the host to the clicked song, part 0, and marks only that bar', async () => {
    await host.clickSong(view, 3);
    from = await host.waitForLine('call Vantor_SwitchToSong 3 0', from);
    assert.deepEqual(await host.selectedIndices(view), [3]);

    // A song far down the list: the click scrolls to it first, as a person would.
    const last = songs.length - 1;
    await host.clickSong(view, last);
    from = await host.waitForLine(`call Vantor_SwitchToSong ${last} 0`, from);
    assert.deepEqual(await host.selectedIndices(view), [last]);
  });

  it('rebuilds the list in place when the host renames a song, dropping the selection mark', async () => {
    host.command('rename 2 Hoppípolla (live) & <encore>');
    host.command('setlist-changed');
    await host.waitForList(view, renamedBars(), 'the refreshed list');
    assert.deepEqual(await host.selectedIndices(view), []);
    await host.screenshot(view, path.join(artifacts, 'e2e-after-refresh.png'));
  });

  it('closes with the page\'s \u00d7 and returns the host\'s thread', async () => {
    await host.clickClose(view);
    from = await host.waitForLine('returned OnModeChanged 1', from);
    assert.ok(host.lines.slice(0, from).some((line) => line === 'command menu 0'));
  });

  it('opens again after closing, with a fresh page that the host drives through the stand-in control', async () => {
    host.command('menu 0');
    from = await host.waitForLine('event OnModeChanged 1', from);
    const reopened = await host.currentView(view.id);
    await host.waitForList(reopened, renamedBars(), 'the list of the reopened chooser');
    view = reopened;

    host.command('click-song 1');
    from = await host.waitForLine('chromium click-song done', from);
    from = await host.waitForLine('call Vantor_SwitchToSong 1 0', from);
    assert.deepEqual(await host.selectedIndices(view), [1]);

    const picture = path.join(artifacts, 'e2e-reopened.png');
    host.command(`screenshot ${picture}`);
    from = await host.waitForLine(`chromium screenshot done: "${picture}"`, from);

    host.command('click-song 99');
    from = await host.waitForLine('chromium click-song failed: no song bar at position 99', from);

    host.command('click-close');
    from = await host.waitForLine('chromium click-close done', from);
    from = await host.waitForLine('returned OnModeChanged 1', from);
  });

  it('ends a third showing through the window\'s close box', async () => {
    host.command('menu 0');
    from = await host.waitForLine('event OnModeChanged 1', from);
    view = await host.currentView(view.id);
    await host.waitForList(view, renamedBars(), 'the list of the third showing');
    host.command('click-close-box');
    from = await host.waitForLine('returned OnModeChanged 1', from);
    host.command('click-song 0');
    from = await host.waitForLine(/^chromium click-song failed: .*hidden/, from);
  });

  it('quits cleanly, closing Chromium with the connection', async () => {
    const code = await host.stop();
    assert.equal(code, 0, `host exit code${host.context()}`);
    const session = host.driver.latestSession();
    await session.ended;
    assert.deepEqual(session.failures, []);
    host = undefined;
  });
});
