// node bench/web.mjs [PAIRS]
// The web page's speed, after tests/web/run (or a build of build-web/ and
// build/): dishsurface writing 100,000 points in the page's engine in
// headless Chromium against the native program, as the median ratio of
// paired runs (one of each, in turn); and the page's time from opening to
// ready. Prints the figures bench/README.md quotes.
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const pairs = Number(process.argv[2] ?? 11);
const page = join(root, 'build-web/bin/radome-tools.html');
const puppeteer = createRequire(join(root, 'build-web/web/node_modules/x.js'))('puppeteer-core');
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
// 0 to 99999 in steps of 1: trunc(99999 + 1.4) = 100,000 points. A count of
// 10000 or more overflows the count field: the run ends with status 63 after
// writing every point, native and in the page alike.
const answers = 'dish.rsf\n100 0\n0 99999 1\n1\nBENCH\n';

function nativeRun() {
  const dir = mkdtempSync(join(tmpdir(), 'web-bench-'));
  const start = process.hrtime.bigint();
  const r = spawnSync(join(root, 'build/bin/dishsurface'), [], { cwd: dir, input: answers });
  const ms = Number(process.hrtime.bigint() - start) / 1e6;
  const size = statSync(join(dir, 'dish.rsf')).size;
  rmSync(dir, { recursive: true });
  return { ms, size, status: r.status };
}

const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true, args: ['--no-sandbox', '--disable-gpu'] });
try {
  const ready = [];
  for (let i = 0; i < 5; ++i) {
    const p = await browser.newPage();
    const start = Date.now();
    await p.goto(pathToFileURL(page).href);
    await p.waitForFunction(() => window.radomeTools?.ready === true, { polling: 5 });
    ready.push(Date.now() - start);
    await p.close();
  }
  const p = await browser.newPage();
  await p.goto(pathToFileURL(page).href);
  await p.waitForFunction(() => window.radomeTools?.ready === true);
  const ratios = [];
  const web = [];
  const here = [];
  for (let i = 0; i < pairs; ++i) {
    const w = await p.evaluate(async (stdin) => {
      const start = performance.now();
      const r = await window.radomeTools.run('dishsurface', [], stdin, {});
      return { ms: performance.now() - start, size: r.files['dish.rsf'].length, status: r.status };
    }, answers);
    const n = nativeRun();
    if (w.status !== n.status || w.size !== n.size) throw new Error(`the page's file: ${w.size} bytes, status ${w.status}; native ${n.size}`);
    web.push(w.ms);
    here.push(n.ms);
    ratios.push(w.ms / n.ms);
  }
  console.log(`page: ${statSync(page).size} bytes`);
  console.log(`page open to ready: median ${median(ready)} ms of ${ready.length} (${ready.join(', ')})`);
  console.log(`dishsurface, 100,000 points: page ${median(web).toFixed(1)} ms, native ${median(here).toFixed(1)} ms ` +
    `(medians of ${pairs}); median ratio of the pairs ${median(ratios).toFixed(2)}x`);
} finally {
  await browser.close();
}
