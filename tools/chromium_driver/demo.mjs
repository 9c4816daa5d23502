// One showing of the chooser end to end, told as a short transcript: the host
// simulator under Wine with the sample setlist and the release tunewell.dll,
// whose embedded Microsoft loader finds the stand-in runtime, the page in
// Chromium, a real click, a rename in the host, and the page's close button.
//   node demo.mjs [SCREENSHOT_DIR]
import path from 'node:path';
import { HostShowing, barText, sampleSongs } from './host_showing.mjs';

const screenshotDir = path.resolve(process.argv[2] ?? 'build/demo');
const songs = sampleSongs();
const say = (who, text) => console.log(`${who.padEnd(6)}| ${text}`);

// Only the lines that tell the story; the host's full log holds every call.
const interesting = /^(event |returned |call Vantor_(SwitchToSetlistView|SwitchToSong) |host quit)/;

const host = await HostShowing.start({
  onLine: (line) => {
    if (interesting.test(line))
      say('host', line);
  },
});

let failed = false;
try {
  let from = await host.waitForLine('event OnOpen');
  say('demo', 'the host loaded the release tunewell.dll; Microsoft\'s WebView2 loader inside it will find the '
    + `stand-in runtime in ${host.runtimeFolder}`);

  say('demo', 'the performer picks "Show Tunewell" in the extensions menu');
  host.command('menu 0');
  from = await host.waitForLine('event OnModeChanged 1', from);
  const view = await host.currentView();
  const shown = await host.waitForList(view, songs.map(barText), 'the song list');
  say('page', `Chromium shows "${await view.page.textContent('#list-title')}" with ${shown.length} songs:`);
  shown.forEach((text, index) => say('page', `  ${String(index).padStart(2)}  ${text}`));
  say('demo', `screenshot: ${await host.screenshot(view, path.join(screenshotDir, 'chooser-before-refresh.png'))}`);

  const chosen = 4;
  say('demo', `a real mouse click on "${shown[chosen]}"`);
  await host.clickSong(view, chosen);
  from = await host.waitForLine(`call Vantor_SwitchToSong ${chosen} 0`, from);
  say('page', `selected bar: ${(await host.selectedIndices(view)).join(', ')}`);

  const renamed = { name: 'Déjà Vu (Reprise) & "Encore"', artist: songs[11].artist };
  say('demo', `the host renames song 11 to "${renamed.name}" and reports the setlist change`);
  host.command(`rename 11 ${renamed.name}`);
  host.command('setlist-changed');
  const expected = songs.map(barText);
  expected[11] = barText(renamed);
  const refreshed = await host.waitForList(view, expected, 'the refreshed list');
  say('page', `the list is rebuilt in place; bar 11 now reads "${refreshed[11]}"`);
  // Vertically only, as a person scrolls: the page has no horizontal scrolling.
  await view.page.$eval('#songlist > li:nth-child(12)', (bar) => window.scrollTo(0, bar.offsetTop - 250));
  await view.page.mouse.move(5, 5);
  say('demo', `screenshot: ${await host.screenshot(view, path.join(screenshotDir, 'chooser-after-refresh.png'))}`);

  say('demo', 'a real mouse click on the page\'s \u00d7');
  await host.clickClose(view);
  from = await host.waitForLine('returned OnModeChanged 1', from);
  say('demo', 'the chooser is closed and the host\'s thread is back in its own loop');
} catch (error) {
  failed = true;
  console.error(`demo: ${error.message}`);
} finally {
  const code = await host.stop().catch((error) => {
    console.error(`demo: ${error.message}`);
    return 1;
  });
  failed ||= code !== 0;
}

say('demo', failed ? 'FAILED' : `done; screenshots in ${screenshotDir}`);
process.exit(failed ? 1 : 0);
