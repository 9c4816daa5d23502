// Runs the driver on its own, for the demo or by hand:
//   node main.mjs [--port N] [--port-file PATH] [--once]
// It prints "listening 127.0.0.1:PORT" once ready (and writes the port to
// PATH); with --once it exits when its first connection has closed.
import fs from 'node:fs';
import { startDriver } from './driver.mjs';

function option(name) {
  const index = process.argv.indexOf(name);
  return index >= 0 ? process.argv[index + 1] : undefined;
}

const log = (line) => process.stderr.write(`chromium-driver: ${line}\n`);
const driver = await startDriver({ port: Number(option('--port') ?? 0), log });
if (option('--port-file'))
  fs.writeFileSync(option('--port-file'), `${driver.port}\n`);
console.log(`listening 127.0.0.1:${driver.port}`);

const stop = async () => {
  await driver.close();
  process.exit(0);
};
process.on('SIGTERM', stop);
process.on('SIGINT', stop);

if (process.argv.includes('--once')) {
  const session = await driver.session(1, 24 * 60 * 60 * 1000);
  await session.ended;
  await driver.close();
  process.exit(session.failures.length === 0 ? 0 : 1);
}
