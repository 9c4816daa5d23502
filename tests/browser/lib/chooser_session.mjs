// One showing of the chooser: a fresh browser page wired to a fresh native
// chooser_stdio, so that the page, the bridge script and the binding stubs are
// the native ones, and every page call is answered by the native bridge.
import fs from 'node:fs';
import path from 'node:path';
import { launchChromium } from '../../../tools/chromium_driver/chromium.mjs';
import { NativeChooser, defaultTimeoutMs } from './native_chooser.mjs';

const pageAddress = 'https://tunewell.invalid/chooser';

// WebView2 gives page script window.chrome.webview.postMessage; this stands in
// for it and hands each posted string to the test.
const webviewStandIn = `
  window.chrome = window.chrome || {};
  window.chrome.webview = {
    postMessage: function(message) { window.__tunewellPostMessage(String(message)); }
  };`;

export function chooserStdioPath() {
  const binary = process.env.TUNEWELL_CHOOSER_STDIO;
  if (!binary || !fs.existsSync(binary))
    throw new Error('TUNEWELL_CHOOSER_STDIO must name the built chooser_stdio program '
                    + `(got ${binary ?? 'nothing'}); tools/run-browser-tests.sh sets it`);
  return binary;
}

export function artifactsDir() {
  const dir = process.env.TUNEWELL_ARTIFACTS_DIR
    ?? path.resolve(path.dirname(new URL(import.meta.url).pathname), '../../../build/artifacts');
  fs.mkdirSync(dir, { recursive: true });
  return dir;
}

// One Chromium with a fresh profile for a whole test file; each showing gets
// a page of its own in it.
export function launchBrowser() {
  return launchChromium();
}

// page.evaluate has no time limit of its own, so a script that never returns
// would hang the test without this.
function withinBound(promise, timeoutMs, description) {
  let timer;
  const expired = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error(`timed out waiting for ${description}`)), Math.max(timeoutMs, 0));
  });
  return Promise.race([promise, expired]).finally(() => clearTimeout(timer));
}

export class ChooserSession {
  static async open(context, { songs = [], viewport = { width: 1280, height: 720 } } = {}) {
    const session = new ChooserSession();
    await session.connect(context, viewport);
    await session.native.run({ command: 'loadSetlist', songs });
    return session;
  }

  constructor() {
    this.pageMessages = [];   // every text the page posted, parsed
    this.executedScripts = [];
    this.initScripts = [];
    this.hostCalls = [];
    this.pageErrors = [];
    this.failures = [];
    this.work = Promise.resolve();
    this.heldMessages = null;
  }

  async connect(context, viewport) {
    this.page = await context.newPage();
    await this.page.setViewportSize(viewport);
    this.page.setDefaultTimeout(defaultTimeoutMs);
    this.page.on('pageerror', (error) => this.pageErrors.push(error.message));

    await this.page.exposeBinding('__tunewellPostMessage', (source, text) => this.forwardPageMessage(text));
    await this.page.addInitScript({ content: webviewStandIn });
    await this.page.route(pageAddress, (route) => route.fulfill({
      status: 200, contentType: 'text/html; charset=utf-8', body: this.documentHtml ?? '' }));

    this.native = NativeChooser.start(chooserStdioPath(), { onEvent: (event) => this.receive(event) });
  }

  forwardPageMessage(text) {
    try {
      this.pageMessages.push(JSON.parse(text));
    } catch {
      this.pageMessages.push({ unparsed: text });
    }
    if (this.heldMessages)
      this.heldMessages.push(text);
    else
      this.sendPageMessage(text);
  }

  sendPageMessage(text) {
    this.native.send({ command: 'webMessage', text }).catch((error) => this.failures.push(error.message));
  }

  // While held, page calls reach the test but not the native side, so their
  // promises stay pending: the page as it looks before any answer.
  holdPageMessages() {
    this.heldMessages = [];
  }

  releasePageMessages() {
    const held = this.heldMessages ?? [];
    this.heldMessages = null;
    for (const text of held)
      this.sendPageMessage(text);
  }

  callsFromPage(fn) {
    return this.pageMessages.filter((message) => message.fn === fn);
  }

  // Browser operations run one after another in the order the native side
  // asked for them, as the real browser would run them.
  receive(event) {
    switch (event.event) {
      case 'addInitScript':
        this.initScripts.push(event.script);
        this.enqueue(() => this.page.addInitScript({ content: event.script }));
        break;
      case 'executeScript':
        this.executedScripts.push(event.script);
        this.enqueue(() => this.page.evaluate((script) => { (0, eval)(script); }, event.script));
        break;
      case 'navigateToString':
        this.enqueue(() => this.navigateTo(event.html));
        break;
      case 'hostCall':
        this.hostCalls.push({ name: event.name, args: event.args });
        break;
      default:
        this.failures.push(`unexpected event from chooser_stdio: ${JSON.stringify(event).slice(0, 200)}`);
    }
  }

  enqueue(operation) {
    this.work = this.work.then(operation).catch((error) => this.failures.push(error.message));
  }

  async navigateTo(html) {
    this.documentHtml = html;
    await this.page.goto(pageAddress, { waitUntil: 'domcontentloaded' });
  }

  // Shows the chooser the way the host does: menu entry, then setlist mode.
  async show() {
    await this.native.run({ command: 'show' });
    await this.settle();
  }

  // Waits until nothing is in flight on either side, within a bound.
  async settle(timeoutMs = defaultTimeoutMs) {
    const deadline = Date.now() + timeoutMs;
    let previous = -1;
    for (;;) {
      await withinBound(this.work, deadline - Date.now(), 'the browser to run the native scripts');
      const progress = this.native.events.length + this.pageMessages.length;
      if (!this.native.busy && progress === previous)
        break;
      if (Date.now() > deadline)
        throw new Error(`page and chooser_stdio did not settle within ${timeoutMs} ms`);
      previous = progress;
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
    this.assertNoFailures();
  }

  async waitFor(condition, description, timeoutMs = defaultTimeoutMs) {
    const deadline = Date.now() + timeoutMs;
    while (!(await condition())) {
      this.assertNoFailures();
      if (Date.now() > deadline)
        throw new Error(`timed out after ${timeoutMs} ms waiting for ${description}`);
      await new Promise((resolve) => setTimeout(resolve, 25));
    }
  }

  assertNoFailures() {
    if (this.failures.length > 0)
      throw new Error(`browser test harness failed: ${this.failures.join('\n')}`);
  }

  callsTo(name) {
    return this.hostCalls.filter((call) => call.name === name);
  }

  async listTexts() {
    return this.page.$$eval('#songlist li', (items) => items.map((item) => item.textContent));
  }

  async selectedIndices() {
    return this.page.$$eval('#songlist li', (items) =>
      items.flatMap((item, index) => (item.classList.contains('selected') ? [index] : [])));
  }

  async close() {
    try {
      await this.native.stop();
    } finally {
      await this.page.close();
    }
  }
}
