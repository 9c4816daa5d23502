// What a performer sees and does in the chooser, in a real Chromium, with the
// page, the bridge and every answer coming from the native chooser code.
import assert from 'node:assert/strict';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { ChooserSession, artifactsDir, launchBrowser } from '../lib/chooser_session.mjs';

const setlist = [
  { name: 'Blue', artist: 'Tide' },
  { name: 'Morning Glory', artist: 'Oasis' },
  { name: 'Clocks', artist: 'Coldplay' },
  { name: 'Halo', artist: 'Beyonce' },
];

const trickyNames = [
  { name: "Don't Stop Me Now", artist: "Guns N' Roses" },
  { name: 'Say "Hello"', artist: 'The "Quotes"' },
  { name: 'Rock & Roll', artist: 'AC&DC &amp; Friends' },
  { name: '<b>Bold</b> </li></ol><script>window.injected = 1</script>', artist: 'a < b > c' },
  { name: 'Back\\slash \\n \\"', artist: 'C:\\Music\\' },
  { name: 'Café Déjà Vu', artist: 'Beyoncé Knowles-Carter' },
  { name: '夜に駆ける', artist: 'YOASOBI 아이유 周杰倫' },
  { name: 'Fire 🔥 and 👩‍👩‍👧 family', artist: '🎸🥁' },
  { name: '', artist: '' },
  { name: "'; selectSong(9); '", artist: '${x} `tick`' },
];

const itemText = (song) => `${song.name} - ${song.artist}`;
const itemArtistAttribute = (song) => `${song.name} | ${song.artist}`;

let chromium;
let session;

before(async () => { chromium = await launchBrowser(); });
after(async () => { await chromium?.close(); });

async function showChooser(songs, options = {}) {
  session = await ChooserSession.open(chromium.context, { songs, ...options });
  await session.show();
  return session;
}

async function closeSession() {
  await session?.close();
  session = undefined;
}

async function clickSong(index) {
  await session.page.click(`#songlist li:nth-child(${index + 1}) a.song-select`);
}

async function waitForSwitches(count) {
  await session.waitFor(() => session.callsTo('switchToSong').length >= count,
                        `${count} switchToSong call(s); host calls so far: ${JSON.stringify(session.hostCalls)}`);
  await session.settle();
}

describe('opening the chooser', { timeout: 60000 }, () => {
  test('shows the header, the title and the close button before the song list arrives', async () => {
    session = await ChooserSession.open(chromium.context, { songs: setlist });
    try {
      session.holdPageMessages();
      await session.show();
      await session.waitFor(() => session.callsFromPage('getSongListFromVantor').length === 1,
                            'the page to ask for the song list');

      assert.ok(await session.page.isVisible('header.header-top'), 'header visible');
      assert.equal(await session.page.textContent('#list-title'), 'Tunewell');
      assert.equal(await session.page.textContent('#close-window'), '\u00d7');
      assert.ok(await session.page.isVisible('#close-window'), 'close button visible');
      assert.equal(await session.page.title(), 'Tunewell');
      assert.deepEqual(await session.listTexts(), [], 'no songs before the native answer');

      session.releasePageMessages();
      await session.waitFor(async () => (await session.listTexts()).length === setlist.length,
                            'the song list to arrive');
    } finally {
      await closeSession();
    }
  });

  test('fills the list from the native markup, one bar per song in host order', async () => {
    await showChooser(setlist);
    try {
      await session.waitFor(async () => (await session.listTexts()).length === setlist.length,
                            'the song list to arrive');
      assert.deepEqual(await session.listTexts(), setlist.map(itemText));
      const slots = await session.page.$$eval('#songlist li a.song-select',
                                              (links) => links.map((link) => link.getAttribute('data-slot')));
      assert.deepEqual(slots, ['0', '1', '2', '3']);
      assert.deepEqual(await session.selectedIndices(), []);
      assert.deepEqual(session.callsTo('switchToSong'), []);
      assert.deepEqual(session.pageErrors, []);
    } finally {
      await closeSession();
    }
  });
});

describe('choosing a song', { timeout: 60000 }, () => {
  before(async () => {
    await showChooser(setlist);
    await session.waitFor(async () => (await session.listTexts()).length === setlist.length,
                          'the song list to arrive');
  });
  after(closeSession);

  test('a click on a song marks only its bar and switches the host to it at part 0', async () => {
    await clickSong(2);
    await waitForSwitches(1);
    assert.deepEqual(await session.selectedIndices(), [2]);
    assert.deepEqual(session.callsTo('switchToSong').map((call) => call.args), [['2', '0']]);
    assert.deepEqual(session.callsFromPage('selectSong').map((call) => call.params), [[2]]);
  });

  test('a second click moves the mark and switches again', async () => {
    await clickSong(0);
    await waitForSwitches(2);
    assert.deepEqual(await session.selectedIndices(), [0]);
    assert.deepEqual(session.callsTo('switchToSong').map((call) => call.args), [['2', '0'], ['0', '0']]);
  });

  test('a click on the bar around a link, or on the title, does nothing', async () => {
    const messagesBefore = session.pageMessages.length;
    await session.page.dispatchEvent('#songlist li:nth-child(4)', 'click');
    await session.page.click('#list-title');
    await session.settle();
    assert.equal(session.pageMessages.length, messagesBefore, 'no call from the page');
    assert.deepEqual(await session.selectedIndices(), [0]);
  });

  test('a link without data-slot sends a call that the native side rejects and the page ignores', async () => {
    await session.page.evaluate(() => document.querySelector('#songlist li:nth-child(2) a').removeAttribute('data-slot'));
    await clickSong(1);
    await session.waitFor(() => session.callsFromPage('selectSong').length === 3, 'the third selectSong call');
    await session.settle();

    const call = session.callsFromPage('selectSong')[2];
    assert.deepEqual(call.params, [null], 'NaN travels as null');
    assert.ok(session.executedScripts.includes(
                `window._fnBindings[${call.id}].reject(); delete window._fnBindings[${call.id}];`),
              `reject script for call ${call.id}; scripts run: ${session.executedScripts.slice(-3).join('\n')}`);
    assert.equal(session.callsTo('switchToSong').length, 2, 'the host is not called');
    assert.equal(await session.page.evaluate((id) => id in window._fnBindings, call.id), false);

    await clickSong(3);
    await waitForSwitches(3);
    assert.deepEqual(session.callsTo('switchToSong').at(-1).args, ['3', '0'], 'the page still works');
  });
});

describe('refreshing and closing', { timeout: 60000 }, () => {
  test('a setlist change replaces the list and drops the mark', async () => {
    await showChooser(setlist);
    try {
      await session.waitFor(async () => (await session.listTexts()).length === setlist.length, 'the song list');
      await clickSong(1);
      await waitForSwitches(1);

      await session.native.run({ command: 'renameSong', index: 1, name: 'Wonderwall', artist: 'Oasis' });
      await session.native.run({ command: 'addSong', name: 'Yellow', artist: 'Coldplay' });
      await session.native.run({ command: 'setlistChanged' });
      await session.settle();

      const expected = [...setlist.map(itemText), 'Yellow - Coldplay'];
      expected[1] = 'Wonderwall - Oasis';
      assert.deepEqual(await session.listTexts(), expected);
      assert.deepEqual(await session.selectedIndices(), []);
    } finally {
      await closeSession();
    }
  });

  test('the close button calls closeSongSelector with no arguments', async () => {
    await showChooser(setlist);
    try {
      await session.page.click('#close-window');
      await session.waitFor(() => session.callsFromPage('closeSongSelector').length === 1,
                            'the closeSongSelector call');
      await session.settle();
      const [call] = session.callsFromPage('closeSongSelector');
      assert.deepEqual(call.params, []);
      assert.ok(session.executedScripts.some((script) =>
                  script.startsWith(`window._fnBindings[${call.id}].resolve(`)),
                'the native side answered the call');
      assert.deepEqual(session.callsTo('switchToSong'), []);
    } finally {
      await closeSession();
    }
  });
});

describe('song names', { timeout: 60000 }, () => {
  async function assertNamesExact(songs) {
    const items = await session.page.$$eval('#songlist li', (lis) => lis.map((li) => ({
      text: li.textContent,
      artist: li.getAttribute('data-song-artist'),
      links: li.querySelectorAll('a.song-select').length,
    })));
    assert.equal(items.length, songs.length, 'one bar per song');
    songs.forEach((song, i) => {
      assert.equal(items[i].text, itemText(song), `text of song ${i}`);
      assert.equal(items[i].artist, itemArtistAttribute(song), `data-song-artist of song ${i}`);
      assert.equal(items[i].links, 1, `one link in song ${i}`);
    });
    assert.equal(await session.page.evaluate(() => window.injected), undefined, 'no markup from names runs');
  }

  test('appear exactly as written, at load and after a refresh', async () => {
    await showChooser(trickyNames);
    try {
      await session.waitFor(async () => (await session.listTexts()).length === trickyNames.length, 'the song list');
      await assertNamesExact(trickyNames);

      const renamed = [...trickyNames];
      renamed[0] = { name: 'Line\nbreak\tand \u2028 separator', artist: '"\'&<>\\' };
      await session.native.run({ command: 'renameSong', index: 0, ...renamed[0] });
      await session.native.run({ command: 'setlistChanged' });
      await session.settle();
      await assertNamesExact(renamed);
      assert.deepEqual(session.pageErrors, []);
    } finally {
      await closeSession();
    }
  });

  test('a click on a song with a tricky name switches to that song', async () => {
    await showChooser(trickyNames);
    try {
      await session.waitFor(async () => (await session.listTexts()).length === trickyNames.length, 'the song list');
      await clickSong(9);
      await waitForSwitches(1);
      assert.deepEqual(session.callsTo('switchToSong').map((call) => call.args), [['9', '0']]);
    } finally {
      await closeSession();
    }
  });
});

describe('the look of the chooser', { timeout: 60000 }, () => {
  test('twenty songs: dark header, white 80px title, close block and black rounded bars', async () => {
    const twenty = Array.from({ length: 20 }, (_, i) => ({ name: `Song ${i + 1}`, artist: `Artist ${i + 1}` }));
    twenty[4] = { name: 'Café Déjà Vu', artist: '夜に駆ける 🔥' };
    await showChooser(twenty, { viewport: { width: 1280, height: 1640 } });
    try {
      await session.waitFor(async () => (await session.listTexts()).length === 20, 'the song list');
      await clickSong(2);
      await waitForSwitches(1);
      await session.page.mouse.move(0, 0);
      // The click scrolled the over-wide link into view; a performer's
      // window shows the page from its left edge.
      await session.page.evaluate(() => window.scrollTo(0, 0));

      const look = await session.page.evaluate(() => {
        const style = (selector) => getComputedStyle(document.querySelector(selector));
        const bar = style('#songlist li');
        return {
          header: [style('.header-top').backgroundColor, style('.header-top').height, style('.header-top').position],
          title: [style('#list-title').color, style('#list-title').fontSize],
          close: [style('#close-window').backgroundColor, style('#close-window').color],
          bar: [bar.backgroundColor, bar.borderTopLeftRadius, bar.marginBottom],
          link: style('#songlist li a').color,
          selected: style('#songlist li.selected').backgroundColor,
          body: style('body').backgroundColor,
          listTop: document.querySelector('#songlist').getBoundingClientRect().top,
        };
      });
      assert.deepEqual(look.header, ['rgb(17, 17, 17)', '90px', 'fixed']);
      assert.deepEqual(look.title, ['rgb(255, 255, 255)', '80px']);
      assert.deepEqual(look.close, ['rgb(68, 68, 68)', 'rgb(255, 255, 255)']);
      assert.deepEqual(look.bar, ['rgb(0, 0, 0)', '8px', '8px']);
      assert.equal(look.link, 'rgb(187, 187, 187)');
      assert.equal(look.selected, 'rgb(69, 69, 69)');
      assert.equal(look.body, 'rgb(34, 34, 34)');
      assert.equal(look.listTop, 100);

      const file = path.join(artifactsDir(), 'chooser-twenty-songs.png');
      await session.page.screenshot({ path: file });
      console.log(`screenshot: ${file}`);
    } finally {
      await closeSession();
    }
  });
});
