// Shows the stand-in WebView2 runtime's pages in a real Chromium. The runtime
// connects over loopback TCP and sends one JSON object per line for every
// browser operation of its views; page messages and request replies go back
// the same way (protocol.md). One connection, one Chromium: it starts when the
// runtime connects and stops when the connection closes.
import fs from 'node:fs';
import net from 'node:net';
import path from 'node:path';
import readline from 'node:readline';
import { launchChromium } from './chromium.mjs';

// Every browser operation has this bound, so a stuck page is an error, not a hang.
export const operationTimeoutMs = 10000;

// Documents given as strings are served from this address; nothing else is
// ever fetched.
const documentAddress = 'https://tunewell.invalid/document';

// WebView2 gives page script window.chrome.webview with postMessage and
// message events; this stands in for it in every document before its own
// scripts run.
const webviewStandIn = `(() => {
  const post = window.__tunewellPostMessage;
  const events = new EventTarget();
  window.chrome = window.chrome || {};
  window.chrome.webview = {
    postMessage(message) {
      if (typeof message === 'string') post(message, false);
      else post(JSON.stringify(message === undefined ? null : message), true);
    },
    addEventListener: (type, listener, options) => events.addEventListener(type, listener, options),
    removeEventListener: (type, listener, options) => events.removeEventListener(type, listener, options),
  };
  Object.defineProperty(window, '__tunewellDeliver', {
    value: (json) => events.dispatchEvent(new MessageEvent('message', { data: JSON.parse(json) })),
  });
})();`;

function withinBound(promise, description, timeoutMs = operationTimeoutMs) {
  let timer;
  const expired = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error(`timed out after ${timeoutMs} ms: ${description}`)), timeoutMs);
  });
  return Promise.race([promise, expired]).finally(() => clearTimeout(timer));
}

// The selector of the link inside the song bar at this position.
export function songLinkSelector(index) {
  return `#songlist > li:nth-child(${index + 1}) > a.song-select`;
}

export const closeButtonSelector = '#close-window';

class View {
  constructor(id, page) {
    this.id = id;
    this.page = page;
    this.visible = true;
    this.documents = 0;
    this.pageErrors = [];
    this.html = '';
  }
}

// One connection from the runtime and the Chromium that shows its views.
export class Session {
  constructor(socket, { log = () => {} } = {}) {
    this.socket = socket;
    this.log = log;
    this.views = new Map();
    this.failures = [];
    this.work = Promise.resolve();
    this.closed = false;
    this.browserReady = this.launch();
    this.ended = new Promise((resolve) => { this.markEnded = resolve; });

    socket.setEncoding('utf8');
    socket.on('error', (error) => this.fail(`connection: ${error.message}`));
    socket.on('close', () => this.close());
    readline.createInterface({ input: socket }).on('line', (line) => this.receive(line));
  }

  async launch() {
    this.browser = await launchChromium({ profilePrefix: 'tunewell-driver-', viewport: { width: 1080, height: 720 } });
    this.context = this.browser.context;
    // The persistent context opens a first page of its own; views bring theirs.
    await Promise.all(this.context.pages().map((page) => page.close()));
    await this.context.exposeBinding('__tunewellPostMessage',
      ({ page }, text, isJson) => this.pageMessage(page, String(text), Boolean(isJson)));
    await this.context.addInitScript({ content: webviewStandIn });
    this.log('chromium started');
  }

  fail(message) {
    this.failures.push(message);
    this.log(`failure: ${message}`);
  }

  send(object) {
    if (!this.closed && this.socket.writable)
      this.socket.write(`${JSON.stringify(object)}\n`);
  }

  viewOf(page) {
    for (const view of this.views.values())
      if (view.page === page)
        return view;
    return undefined;
  }

  // The view that requests act on: the latest one still open.
  currentView() {
    return [...this.views.values()].at(-1);
  }

  pageMessage(page, text, isJson) {
    const view = this.viewOf(page);
    if (view)
      this.send({ event: 'webMessage', view: view.id, text, isJson });
  }

  receive(line) {
    let message;
    try {
      message = JSON.parse(line);
    } catch {
      this.fail(`runtime sent a line that is not JSON: ${line.slice(0, 200)}`);
      return;
    }
    if (typeof message !== 'object' || message === null || typeof message.op !== 'string') {
      this.fail(`runtime sent a line without an operation: ${line.slice(0, 200)}`);
      return;
    }
    // Operations run one after another in the order the runtime sent them,
    // requests included, so a screenshot shows everything asked for before it.
    this.work = this.work.then(() => this.perform(message)).catch((error) => {
      if (message.seq !== undefined)
        this.send({ reply: message.seq, ok: false, error: error.message });
      else
        this.fail(`${message.op}: ${error.message}`);
    });
  }

  async perform(message) {
    await withinBound(this.browserReady, 'Chromium to start', 40000);
    if (message.seq !== undefined) {
      const result = await this.request(message);
      this.send({ reply: message.seq, ok: true, result: result ?? null });
      return;
    }
    await this.operation(message);
  }

  requireView(id) {
    const view = this.views.get(id);
    if (!view)
      throw new Error(`no view ${id}`);
    return view;
  }

  async operation(message) {
    switch (message.op) {
      case 'openView': {
        const page = await withinBound(this.context.newPage(), 'a new page');
        const view = new View(message.view, page);
        page.setDefaultTimeout(operationTimeoutMs);
        page.on('pageerror', (error) => view.pageErrors.push(error.message));
        await page.route(`${documentAddress}/**`, (route) => route.fulfill({
          status: 200, contentType: 'text/html; charset=utf-8', body: view.html }));
        this.views.set(message.view, view);
        return;
      }
      case 'closeView': {
        const view = this.views.get(message.view);
        this.views.delete(message.view);
        if (view)
          await withinBound(view.page.close(), 'a page to close');
        return;
      }
      case 'addInitScript':
        return withinBound(this.requireView(message.view).page.addInitScript({ content: message.script }),
          'a document-creation script');
      case 'navigateToString': {
        const view = this.requireView(message.view);
        view.html = message.html;
        view.documents += 1;
        await view.page.goto(`${documentAddress}/${view.documents}`, { waitUntil: 'domcontentloaded' });
        return;
      }
      case 'executeScript':
        return this.evaluateIn(this.requireView(message.view), message.script);
      case 'postWebMessage':
        return withinBound(this.requireView(message.view).page.evaluate(
          (json) => window.__tunewellDeliver?.(json), message.json), 'a message to the page');
      case 'bounds': {
        const view = this.requireView(message.view);
        if (message.width > 0 && message.height > 0)
          await view.page.setViewportSize({ width: message.width, height: message.height });
        return;
      }
      case 'visible':
        this.requireView(message.view).visible = Boolean(message.visible);
        return;
      default:
        throw new Error(`unknown operation "${message.op}"`);
    }
  }

  // A script that throws is the page's error, as in the browser, not the
  // driver's: it is kept with the view's page errors.
  async evaluateIn(view, script) {
    try {
      await withinBound(view.page.evaluate((source) => { (0, eval)(source); }, script), 'a script to run');
    } catch (error) {
      if (error.message.startsWith('timed out'))
        throw error;
      view.pageErrors.push(error.message);
    }
  }

  shownView() {
    const view = this.currentView();
    if (!view)
      throw new Error('no view is open');
    if (!view.visible)
      throw new Error(`view ${view.id} is hidden`);
    return view;
  }

  async request(message) {
    switch (message.op) {
      case 'screenshot': {
        const view = this.shownView();
        fs.mkdirSync(path.dirname(message.path), { recursive: true });
        await view.page.screenshot({ path: message.path, timeout: operationTimeoutMs });
        return message.path;
      }
      case 'clickSong': {
        const { page } = this.shownView();
        const selector = songLinkSelector(Number(message.index));
        // Refused at once rather than after the click's wait for the element.
        if (!Number.isInteger(message.index) || message.index < 0 || !(await page.$(selector)))
          throw new Error(`no song bar at position ${message.index}`);
        await page.click(selector, { timeout: operationTimeoutMs });
        return null;
      }
      case 'clickClose':
        await this.shownView().page.click(closeButtonSelector, { timeout: operationTimeoutMs });
        return null;
      case 'listTexts':
        return this.shownView().page.$$eval('#songlist > li', (items) => items.map((item) => item.textContent));
      default:
        throw new Error(`unknown request "${message.op}"`);
    }
  }

  async close() {
    if (this.closed)
      return;
    this.closed = true;
    try {
      await this.browserReady.catch(() => {});
      await this.browser?.close();
    } finally {
      this.log('chromium stopped');
      this.markEnded();
    }
  }
}

// Listens on 127.0.0.1 only. A port of 0 picks a free one.
export async function startDriver({ port = 0, log = () => {} } = {}) {
  const sessions = [];
  let waiters = [];
  const server = net.createServer((socket) => {
    sessions.push(new Session(socket, { log }));
    waiters = waiters.filter(({ count, resolve }) => sessions.length < count || resolve(sessions[count - 1]));
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', resolve);
  });
  return {
    port: server.address().port,
    sessions,
    latestSession: () => sessions.at(-1),
    // The session of the count-th connection (1 for the first), once it came.
    session(count, timeoutMs = operationTimeoutMs) {
      if (sessions.length >= count)
        return Promise.resolve(sessions[count - 1]);
      const arrived = new Promise((resolve) => waiters.push({ count, resolve }));
      return withinBound(arrived, `connection ${count} from the runtime`, timeoutMs);
    },
    async close() {
      await new Promise((resolve) => server.close(resolve));
      await Promise.all(sessions.map((session) => {
        session.socket.destroy();
        return session.close();
      }));
    },
  };
}
