// node web/build.mjs OUT.html WORK_DIR EXAMPLES_DIR DIALOGUES.json MODULE.wasm...
// Makes the one self-contained page: the WebAssembly modules (base64), the
// dialogues and the example answer files go into one script, bundled by
// esbuild with the WASI shim from WORK_DIR/node_modules; script and styles
// are inlined, and the Content-Security-Policy admits exactly that script.
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { basename, dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const [out, work, examplesDir, dialoguesPath, ...moduleFiles] = process.argv.slice(2);
const here = dirname(fileURLToPath(import.meta.url));

const modules = {};
for (const f of moduleFiles) modules[basename(f, '.wasm')] = readFileSync(f).toString('base64');
const examples = {};
for (const f of readdirSync(examplesDir).filter((f) => f.endsWith('.answers')).sort()) {
  examples[f] = readFileSync(join(examplesDir, f), 'latin1');
}
const dialogues = JSON.parse(readFileSync(dialoguesPath, 'utf8'));

const entry = join(work, 'entry.js');
writeFileSync(entry, `import { start } from ${JSON.stringify(join(here, 'page.js'))};\n` +
  `start(${JSON.stringify({ modules, dialogues, examples })});\n`);
const script = execFileSync('esbuild', [entry, '--bundle', '--format=iife', '--minify', '--target=chrome100,firefox100',
  '--log-level=warning'], { env: { ...process.env, NODE_PATH: join(work, 'node_modules') }, maxBuffer: 1 << 28 })
  .toString().replaceAll('</script', '<\\/script');
const style = readFileSync(join(here, 'page.css'), 'utf8');
const hash = createHash('sha256').update(script).digest('base64');
// No fetch, no frame, no form sent anywhere: the script itself, WebAssembly
// compiled from it, styles (the pictures carry their own), and downloads.
const csp = `default-src 'none'; script-src 'sha256-${hash}' 'wasm-unsafe-eval'; style-src 'unsafe-inline'; ` +
  "img-src data: blob:; base-uri 'none'; form-action 'none'";
const page = readFileSync(join(here, 'page.html'), 'utf8')
  .replace('@CSP@', csp).replace('@STYLE@', () => style).replace('@SCRIPT@', () => script);
writeFileSync(out, page);
