// The native side of the browser tests on its own: what chooser_stdio sends a
// browser when the chooser opens, and how it refuses bad commands.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';
import { NativeChooser } from '../lib/native_chooser.mjs';
import { chooserStdioPath } from '../lib/chooser_session.mjs';

describe('chooser_stdio', { timeout: 30000 }, () => {
  let native;
  const browserEvents = [];

  before(() => {
    native = NativeChooser.start(chooserStdioPath(), {
      onEvent: (event) => { if (event.event !== 'hostCall') browserEvents.push(event); },
    });
  });
  after(async () => { await native.stop(); });

  test('refuses unknown commands, malformed lines and page messages before a page exists', async () => {
    assert.match((await native.send({ command: 'dance' })).error, /unknown command/);
    assert.match((await native.send({ command: 'renameSong', index: 0, name: 'x', artist: 'y' })).error, /no song/);
    assert.match((await native.send({ command: 'loadSetlist', songs: 'none' })).error, /array/);
    assert.match((await native.send({ command: 'webMessage', text: '{}' })).error, /no page/);
    assert.deepEqual(browserEvents, []);
  });

  test('opening the chooser registers the bridge before every stub, then loads the page', async () => {
    await native.run({ command: 'loadSetlist', songs: [{ name: 'Blue', artist: 'Tide' }] });
    await native.run({ command: 'show' });

    const kinds = browserEvents.map((event) => event.event);
    assert.equal(kinds[0], 'addInitScript');
    assert.match(browserEvents[0].script, /^window\.external = \{ invoke:/);
    assert.equal(kinds.at(-1), 'navigateToString');
    assert.match(browserEvents.at(-1).html, /^\n<!DOCTYPE html>/);

    const stubs = browserEvents.slice(1, -1);
    const names = stubs.map((event) => /window\["([^"]*)"\]/.exec(event.script)?.[1]);
    assert.deepEqual(stubs.map((event) => event.event),
                     ['addInitScript', 'executeScript', 'addInitScript', 'executeScript',
                      'addInitScript', 'executeScript']);
    assert.deepEqual([...new Set(names)].sort(), ['closeSongSelector', 'getSongListFromVantor', 'selectSong']);
  });

  test('answers a page call with the resolve script for its message ID', async () => {
    browserEvents.length = 0;
    await native.run({ command: 'webMessage',
                       text: JSON.stringify({ id: 2, fn: 'getSongListFromVantor', params: [] }) });
    assert.equal(browserEvents.length, 1);
    assert.match(browserEvents[0].script,
                 /^window\._fnBindings\[2\]\.resolve\(".*Blue - Tide.*"\); delete window\._fnBindings\[2\];$/);
  });
});
