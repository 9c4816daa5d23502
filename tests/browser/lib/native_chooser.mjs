// Drives the native chooser_stdio program: one JSON object per line each way.
// Every command carries a sequence number; the program answers each one with
// {"event":"idle","seq":N} after every event that the command caused.
import { spawn } from 'node:child_process';
import readline from 'node:readline';

export const defaultTimeoutMs = 10000;

export class NativeChooser {
  static start(binaryPath, { onEvent } = {}) {
    return new NativeChooser(binaryPath, onEvent);
  }

  constructor(binaryPath, onEvent) {
    this.binaryPath = binaryPath;
    this.onEvent = onEvent ?? (() => {});
    this.events = [];
    this.stderr = '';
    this.nextSeq = 1;
    this.waitingForIdle = new Map();
    this.exited = false;

    this.child = spawn(binaryPath, [], { stdio: ['pipe', 'pipe', 'pipe'] });
    this.child.stderr.setEncoding('utf8');
    this.child.stderr.on('data', (text) => { this.stderr += text; });
    this.child.on('error', (error) => this.failAll(`cannot run ${binaryPath}: ${error.message}`));
    this.child.on('exit', (code, signal) => {
      this.exited = true;
      this.exitCode = code;
      this.failAll(`chooser_stdio exited (code ${code}, signal ${signal}); stderr:\n${this.stderr}`);
    });
    readline.createInterface({ input: this.child.stdout }).on('line', (line) => this.receive(line));
  }

  receive(line) {
    let event;
    try {
      event = JSON.parse(line);
    } catch (error) {
      this.failAll(`chooser_stdio wrote a line that is not JSON: ${line.slice(0, 200)}`);
      return;
    }
    this.events.push(event);
    if (event.event === 'idle') {
      const waiter = this.waitingForIdle.get(event.seq);
      if (waiter) {
        this.waitingForIdle.delete(event.seq);
        waiter.resolve(event);
      }
      return;
    }
    this.onEvent(event);
  }

  failAll(message) {
    for (const waiter of this.waitingForIdle.values())
      waiter.reject(new Error(message));
    this.waitingForIdle.clear();
  }

  get busy() {
    return this.waitingForIdle.size > 0;
  }

  // Sends one command and resolves, once the program has handled it, with the
  // idle event (which carries "error" when the program refused the command).
  send(command, timeoutMs = defaultTimeoutMs) {
    if (this.exited)
      return Promise.reject(new Error(`chooser_stdio has exited; stderr:\n${this.stderr}`));
    const seq = this.nextSeq++;
    const done = new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        this.waitingForIdle.delete(seq);
        reject(new Error(`chooser_stdio did not finish ${JSON.stringify(command).slice(0, 200)} `
                         + `within ${timeoutMs} ms; stderr:\n${this.stderr}`));
      }, timeoutMs);
      this.waitingForIdle.set(seq, {
        resolve: (event) => { clearTimeout(timer); resolve(event); },
        reject: (error) => { clearTimeout(timer); reject(error); },
      });
    });
    this.child.stdin.write(JSON.stringify({ ...command, seq }) + '\n');
    return done;
  }

  // Sends a command that must succeed.
  async run(command, timeoutMs) {
    const idle = await this.send(command, timeoutMs);
    if (idle.error)
      throw new Error(`chooser_stdio refused ${command.command}: ${idle.error}`);
    return idle;
  }

  // Ends the program by closing its input, as a finished test does, and
  // fails unless it exits cleanly (the sanitizers report through the code).
  async stop() {
    if (!this.exited) {
      const exited = new Promise((resolve) => this.child.once('exit', resolve));
      this.child.stdin.end();
      const timer = setTimeout(() => this.child.kill('SIGKILL'), 5000);
      await exited;
      clearTimeout(timer);
    }
    if (this.exitCode !== 0)
      throw new Error(`chooser_stdio exited with code ${this.exitCode}; stderr:\n${this.stderr}`);
  }
}
