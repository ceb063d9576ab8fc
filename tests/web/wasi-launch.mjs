// node tests/web/wasi-launch.mjs PROGRAM.wasm [ARG...]
// Runs a WebAssembly module under Node's own WASI with this process's
// standard streams, the current directory granted as ".", and its exit
// status: the launcher the end-to-end runner puts before a WASI program.
import { readFile } from 'node:fs/promises';
import { basename } from 'node:path';
import { WASI } from 'node:wasi';

process.removeAllListeners('warning');  // node:wasi is announced as experimental on stderr
const [module, ...args] = process.argv.slice(2);
const wasi = new WASI({
  version: 'preview1',
  args: [basename(module, '.wasm'), ...args],
  env: {},
  preopens: { '.': process.cwd() },
  returnOnExit: true,
});
const { instance } = await WebAssembly.instantiate(await readFile(module), wasi.getImportObject());
process.exitCode = wasi.start(instance);
