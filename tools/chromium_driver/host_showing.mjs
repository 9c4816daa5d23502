// One run of the host simulator under Wine with the release Tunewell library:
// Microsoft's loader inside it finds the stand-in browser runtime through
// WEBVIEW2_BROWSER_EXECUTABLE_FOLDER, and the runtime's views are shown in
// Chromium by an in-process driver. Without a runtime, the variable is unset
// and Microsoft's loader finds none. Used by the end-to-end tests and the
// demo. Every wait has a bound and fails with what was seen meanwhile.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import readline from 'node:readline';
import { startDriver, songLinkSelector, closeButtonSelector } from './driver.mjs';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
export const defaultWaitMs = 20000;

export function windowsBuildDir() {
  return process.env.TUNEWELL_WINDOWS_BUILD_DIR ?? path.join(root, 'build/windows-release');
}

// Under Wine the Unix file system is drive Z:.
export const windowsPath = (file) => `Z:${file.replaceAll('/', '\\')}`;

// The stand-in runtime's DLL as the build lays it out for Microsoft's loader.
export function standinRuntimeFile(buildDir = windowsBuildDir()) {
  return path.join(buildDir, 'webview2-standin-runtime/EBWebView/x64/EmbeddedBrowserWebView.dll');
}

// Runs one Windows program under Wine (the same prefix and display as the
// host simulator) and gives its exit code.
export function wineRun(args) {
  return new Promise((resolve, reject) => {
    const child = spawn(path.join(root, 'tools/wine-run.sh'), args, { stdio: 'ignore' });
    child.on('error', reject);
    child.on('exit', (code) => resolve(code));
  });
}

export function sampleSetlistPath() {
  return path.join(root, 'tools/host_simulator/sample-setlist.json');
}

// The songs of the first setlist, as the page must show them.
export function sampleSongs(setlistPath = sampleSetlistPath()) {
  const setlist = JSON.parse(fs.readFileSync(setlistPath, 'utf8')).setlists[0];
  return setlist.songs.map(({ name, artist }) => ({ name, artist }));
}

export const barText = ({ name, artist }) => `${name} - ${artist}`;

function requireFile(file, hint) {
  if (!fs.existsSync(file))
    throw new Error(`${file} is missing; ${hint}`);
  return file;
}

export class HostShowing {
  // runtime: false leaves WEBVIEW2_BROWSER_EXECUTABLE_FOLDER unset, so that
  // Microsoft's loader finds only what the registry names, if anything.
  static async start({ setlistPath = sampleSetlistPath(), runtime = true, onLine = () => {} } = {}) {
    const showing = new HostShowing(onLine);
    await showing.launch(setlistPath, runtime);
    return showing;
  }

  constructor(onLine) {
    this.onLine = onLine;
    this.lines = [];
    this.stderr = '';
    this.exited = false;
    this.exit = new Promise((resolve) => { this.markExited = resolve; });
  }

  async launch(setlistPath, runtime) {
    const buildDir = windowsBuildDir();
    const hint = `build the windows-release preset into ${buildDir}`;
    const simulatorDir = path.join(buildDir, 'tools/host_simulator');
    const simulator = requireFile(path.join(simulatorDir, 'host_simulator.exe'), hint);
    const library = requireFile(path.join(buildDir, 'src/extension/tunewell.dll'), hint);
    const runtimeFile = requireFile(standinRuntimeFile(buildDir), hint);
    // The runtime finds the stand-in's control DLL beside the program.
    requireFile(path.join(simulatorDir, 'webview2_standin_control.dll'), hint);

    const env = { ...process.env };
    delete env.WEBVIEW2_BROWSER_EXECUTABLE_FOLDER;
    if (runtime) {
      this.runtimeFolder = windowsPath(path.resolve(runtimeFile, '../../..'));
      env.WEBVIEW2_BROWSER_EXECUTABLE_FOLDER = this.runtimeFolder;
    }
    this.driver = await startDriver({ log: (line) => this.onLine(`driver: ${line}`) });
    this.child = spawn(path.join(root, 'tools/wine-run.sh'), [simulator, library, setlistPath], {
      cwd: simulatorDir,
      env: { ...env, TUNEWELL_STANDIN_CHROMIUM: `127.0.0.1:${this.driver.port}` },
      stdio: ['pipe', 'pipe', 'pipe'],
    });
    this.child.stderr.setEncoding('utf8');
    this.child.stderr.on('data', (text) => { this.stderr += text; });
    this.child.on('exit', (code, signal) => {
      this.exited = true;
      this.exitCode = code ?? signal;
      this.markExited(this.exitCode);
    });
    readline.createInterface({ input: this.child.stdout }).on('line', (line) => {
      this.lines.push(line);
      this.onLine(line);
    });
  }

  command(line) {
    if (this.exited)
      throw new Error(`the host simulator has exited (${this.exitCode}); cannot send "${line}"${this.context()}`);
    this.child.stdin.write(`${line}\n`);
  }

  context() {
    const tail = this.lines.slice(-15).join('\n  ');
    return `\n  last host lines:\n  ${tail}${this.stderr ? `\n  stderr:\n  ${this.stderr.slice(-2000)}` : ''}`;
  }

  async waitFor(condition, description, timeoutMs = defaultWaitMs) {
    const deadline = Date.now() + timeoutMs;
    for (;;) {
      const value = await condition();
      if (value)
        return value;
      const session = this.driver.latestSession();
      if (session?.failures.length)
        throw new Error(`the Chromium driver failed while waiting for ${description}: ${session.failures.join('; ')}`);
      if (this.exited)
        throw new Error(`the host simulator exited (${this.exitCode}) while waiting for ${description}${this.context()}`);
      if (Date.now() > deadline)
        throw new Error(`timed out after ${timeoutMs} ms waiting for ${description}${this.context()}`);
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  }

  // The first host line from index `from` on that matches; its index + 1 is
  // where the next search may start.
  async waitForLine(pattern, from = 0, timeoutMs = defaultWaitMs) {
    const matches = (line) => (typeof pattern === 'string' ? line === pattern : pattern.test(line));
    const index = await this.waitFor(() => {
      const found = this.lines.findIndex((line, i) => i >= from && matches(line));
      return found >= 0 ? found + 1 : 0;
    }, `the host to log ${pattern}`, timeoutMs);
    return index;
  }

  // The page of the chooser showing now, once Chromium has it.
  async currentView(afterViewId = 0) {
    const session = await this.driver.session(1, defaultWaitMs);
    return this.waitFor(() => {
      const view = session.currentView();
      return view && view.id > afterViewId && view.documents > 0 ? view : undefined;
    }, 'Chromium to show the chooser page');
  }

  async listTexts(view) {
    return view.page.$$eval('#songlist > li', (items) => items.map((item) => item.textContent));
  }

  async waitForList(view, expected, description) {
    let seen = [];
    try {
      await this.waitFor(async () => {
        // While a document replaces another, its context goes mid-query.
        seen = await this.listTexts(view).catch(() => []);
        return JSON.stringify(seen) === JSON.stringify(expected);
      }, description);
    } catch (error) {
      error.message += `\n  the page shows: ${JSON.stringify(seen)}\n  expected: ${JSON.stringify(expected)}`;
      throw error;
    }
    return seen;
  }

  async selectedIndices(view) {
    return view.page.$$eval('#songlist > li', (items) =>
      items.flatMap((item, index) => (item.classList.contains('selected') ? [index] : [])));
  }

  // Real mouse clicks: Playwright moves the mouse to the element and presses.
  clickSong(view, index) {
    return view.page.click(songLinkSelector(index), { timeout: 10000 });
  }

  clickClose(view) {
    return view.page.click(closeButtonSelector, { timeout: 10000 });
  }

  async screenshot(view, file) {
    fs.mkdirSync(path.dirname(file), { recursive: true });
    await view.page.screenshot({ path: file, timeout: 10000 });
    return file;
  }

  // Quits the host and waits for Wine, Chromium and the driver to go.
  async stop(timeoutMs = defaultWaitMs) {
    try {
      if (!this.exited) {
        this.command('quit');
        this.child.stdin.end();
        let timer;
        const exited = await Promise.race([
          this.exit.then(() => true),
          new Promise((resolve) => { timer = setTimeout(() => resolve(false), timeoutMs); }),
        ]);
        clearTimeout(timer);
        if (!exited) {
          this.child.kill('SIGKILL');
          throw new Error(`the host simulator did not quit within ${timeoutMs} ms${this.context()}`);
        }
      }
    } finally {
      await this.driver.close();
    }
    return this.exitCode;
  }
}
