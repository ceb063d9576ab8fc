// node tests/web/browser.mjs PAGE.html NODE_MODULES_DIR CASES.json NATIVE_BIN EXAMPLES_DIR SHOTS_DIR
// The web page in headless Chromium, one browser session for everything:
//  - every scenario in CASES.json (tests/e2e/cases, read by scenario_json)
//    that a page can run gives the expected output, status and files in the
//    page's engine; one that cannot must say why in its case file;
//  - radomeview in the page gives the native findings and picture for every
//    file those scenarios write;
//  - each program's form is clicked through (example answers, a field typed,
//    run, downloads): the downloaded file equals the native program's file for
//    the downloaded answers; a screenshot of each result goes to SHOTS_DIR;
//  - request interception sees no request but the page's own load.
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync, existsSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const [pagePath, nodeModules, casesPath, nativeDir, examplesDir, shots] = process.argv.slice(2);
const nativeBin = resolve(nativeDir);
const puppeteer = createRequire(join(resolve(nodeModules), 'x.js'))('puppeteer-core');
const programs = ['domeprofile', 'linermesh', 'dishsurface'];
let failures = 0;
const fail = (what) => { ++failures; console.log(`FAIL ${what}`); };
const latin1 = (s) => Buffer.from(s, 'latin1');

// A native run in a fresh folder: {stdout, stderr, status, files}.
function native(program, args, stdin, before) {
  const dir = mkdtempSync(join(tmpdir(), 'web-native-'));
  for (const [name, bytes] of Object.entries(before)) writeFileSync(join(dir, name), bytes);
  const r = spawnSync(join(nativeBin, program), args, { cwd: dir, input: stdin, maxBuffer: 1 << 28 });
  const files = {};
  for (const f of readdirSync(dir)) files[f] = readFileSync(join(dir, f));
  rmSync(dir, { recursive: true });
  return { stdout: r.stdout, stderr: r.stderr, status: r.status, files };
}

function differs(what, expected, actual) {
  if (Buffer.compare(Buffer.from(expected), Buffer.from(actual)) === 0) return false;
  let at = 0;
  while (at < expected.length && expected[at] === actual[at]) ++at;
  fail(`${what} differs at byte ${at}: expected ${JSON.stringify(Buffer.from(expected).subarray(at, at + 60).toString('latin1'))}, ` +
    `got ${JSON.stringify(Buffer.from(actual).subarray(at, at + 60).toString('latin1'))}`);
  return true;
}

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-extensions'],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 900 });
  const downloads = mkdtempSync(join(tmpdir(), 'web-downloads-'));
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  const pageUrl = pathToFileURL(resolve(pagePath)).href;
  const requests = [];
  await page.setRequestInterception(true);
  page.on('request', (r) => {
    if (r.url() === pageUrl && requests.length === 0) {
      requests.push(r.url());
      r.continue();
    } else {
      requests.push(r.url());
      r.abort();
    }
  });
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });

  const opened = Date.now();
  await page.goto(pageUrl);
  await page.waitForFunction(() => window.radomeTools?.ready === true);
  console.log(`page open to ready: ${Date.now() - opened} ms`);

  // Scenarios, all in one evaluation.
  const all = JSON.parse(readFileSync(casesPath, 'utf8')).filter((c) => programs.includes(c.program));
  const runnable = [];
  for (const c of all) {
    if (c.skip) continue;
    if (!c.plain) fail(`${c.path}: needs more than arguments, standard input and files, and does not say why it cannot run in a browser (skip@browser)`);
    else runnable.push(c);
  }
  const started = Date.now();
  const results = await page.evaluate(async (cases) => {
    const bytes = (s) => Uint8Array.from(s, (ch) => ch.charCodeAt(0));
    const text = (b) => Array.from(b, (x) => String.fromCharCode(x)).join('');
    const out = [];
    for (const c of cases) {
      const before = Object.fromEntries(Object.entries(c.before).map(([n, b]) => [n, bytes(b)]));
      const r = await window.radomeTools.run(c.program, c.args, bytes(c.stdin), before);
      out.push({ stdout: text(r.stdout), stderr: text(r.stderr), status: r.status,
        files: Object.fromEntries(Object.entries(r.files).map(([n, b]) => [n, text(b)])) });
    }
    return out;
  }, runnable);
  runnable.forEach((c, i) => {
    const r = results[i];
    const name = c.path.replace(/.*cases\//, '');
    differs(`${name}: stdout`, latin1(c.stdout), latin1(r.stdout));
    differs(`${name}: stderr`, latin1(c.stderr), latin1(r.stderr));
    if ((r.status >>> 0) !== (c.status & 0xff)) fail(`${name}: status ${r.status}, expected ${c.status}`);
    const names = new Set([...Object.keys(r.files), ...Object.keys(c.after), ...Object.keys(c.before)]);
    for (const f of names) {
      const expected = c.after[f] ?? c.before[f];
      if (expected === undefined) fail(`${name}: left ${f}`);
      else if (r.files[f] === undefined) fail(`${name}: no file ${f}`);
      else differs(`${name}: file ${f}`, latin1(expected), latin1(r.files[f]));
    }
  });
  console.log(`scenarios in the page: ${runnable.length} run, ${all.length - runnable.length} cannot run in a browser (${Date.now() - started} ms)`);

  // radomeview on every file those scenarios write, against the native build.
  const written = [];
  for (const c of all) {
    for (const [name, bytes] of Object.entries(c.after)) if (bytes.length > 0) written.push({ name, bytes });
  }
  const views = await page.evaluate(async (files) => {
    const bytes = (s) => Uint8Array.from(s, (ch) => ch.charCodeAt(0));
    const text = (b) => Array.from(b, (x) => String.fromCharCode(x)).join('');
    const out = [];
    for (const f of files) {
      const r = await window.radomeTools.run('radomeview', ['--labels', '-o', '-', f.name], '', { [f.name]: bytes(f.bytes) });
      out.push({ stdout: text(r.stdout), stderr: text(r.stderr), status: r.status });
    }
    return out;
  }, written);
  written.forEach((f, i) => {
    const here = native('radomeview', ['--labels', '-o', '-', f.name], '', { [f.name]: latin1(f.bytes) });
    differs(`radomeview ${f.name} #${i}: picture`, here.stdout, latin1(views[i].stdout));
    differs(`radomeview ${f.name} #${i}: findings`, here.stderr, latin1(views[i].stderr));
    if (views[i].status !== here.status) fail(`radomeview ${f.name} #${i}: status ${views[i].status}, native ${here.status}`);
  });
  console.log(`radomeview in the page: ${written.length} files, the same findings and pictures as native`);

  // Each program's form, clicked through.
  const waitDownload = async (name) => {
    const path = join(downloads, name);
    for (let i = 0; i < 100 && !existsSync(path); ++i) await new Promise((r) => setTimeout(r, 50));
    await new Promise((r) => setTimeout(r, 100));
    const bytes = existsSync(path) ? readFileSync(path) : null;
    if (bytes) rmSync(path);
    return bytes;
  };
  // Fields typed into, in order: a new file name, a third absorber layer (its
  // row appears when the count asks for it), a label.
  const typed = {
    domeprofile: [['file', 'web.dat']],
    linermesh: [['layers', '3'], ['material#3', '3 1 0.1'], ['thickness#3', '0.125'], ['object_name', 'webmesh']],
    dishsurface: [['label', 'WEB DISH']],
  };
  for (const program of programs) {
    const panel = `section[data-tab="${program}"]`;
    await page.click(`#tabs button[data-tab="${program}"]`);
    // Type into the fields, as a person would.
    for (const [key, value] of typed[program]) {
      const field = await page.$(`${panel} input[data-key="${key}"]`);
      if (!field) {
        fail(`${program}: no field ${key}`);
        continue;
      }
      await field.click({ clickCount: 3 });
      await field.type(value);
    }
    await page.click(`${panel} button.save-answers`);
    const answers = await waitDownload(`${program}.answers`);
    if (!answers) { fail(`${program}: no answers downloaded`); continue; }
    const done = await page.$eval(`${panel} .result`, (e) => Number(e.dataset.done ?? 0));
    await page.click(`${panel} button.run`);
    await page.waitForFunction((sel, n) => Number(document.querySelector(sel).dataset.done ?? 0) > n, {}, `${panel} .result`, done);
    const shown = await page.$$eval(`${panel} .written`, (list) => list.map((e) => e.dataset.name));
    const here = native(program, [], answers, {});
    const made = Object.keys(here.files);
    if (shown.join() !== made.join()) fail(`${program}: the page shows ${shown.join()}, the native run wrote ${made.join()}`);
    for (const name of made) {
      await page.click(`${panel} .written[data-name="${name}"] button.download`);
      const got = await waitDownload(name);
      if (!got) fail(`${program}: ${name} not downloaded`);
      else differs(`${program}: downloaded ${name}`, here.files[name], got);
    }
    const consoleText = await page.$eval(`${panel} pre.console`, (e) => e.textContent);
    if (consoleText !== here.stdout.toString('utf8')) fail(`${program}: the console differs from the native run's`);
    const svg = await page.$(`${panel} .picture svg`);
    if (!svg) fail(`${program}: no picture`);
    await page.screenshot({ path: join(shots, `${program}.png`), fullPage: true });
    console.log(`${program}: clicked through, ${made.join()} downloaded, equal to the native file; screenshot ${join(shots, program + '.png')}`);
  }

  // linermesh's file mode: the answers downloaded in its answer-file form,
  // given back to the form as the file to read; the TOR file must be the
  // native one for the same answer file.
  {
    const panel = 'section[data-tab="linermesh"]';
    await page.click('#tabs button[data-tab="linermesh"]');
    await page.click(`${panel} button.save-answer-file`);
    const answerFile = await waitDownload('linermesh.answers');
    if (!answerFile) {
      fail('linermesh: no answer file downloaded');
    } else {
      const path = join(downloads, 'shroud.ans');
      writeFileSync(path, answerFile);
      await (await page.$(`${panel} input.load-input-file`)).uploadFile(path);
      await page.waitForFunction((sel) => document.querySelector(sel)?.value === 'shroud.ans', {},
        `${panel} input[data-key="answer_file"]`);
      rmSync(path);
      const done = await page.$eval(`${panel} .result`, (e) => Number(e.dataset.done ?? 0));
      await page.click(`${panel} button.run`);
      await page.waitForFunction((sel, n) => Number(document.querySelector(sel).dataset.done ?? 0) > n, {}, `${panel} .result`, done);
      const here = native('linermesh', [], '1\nshroud.ans\n', { 'shroud.ans': answerFile });
      await page.click(`${panel} .written[data-name="liner.tor"] button.download`);
      const got = await waitDownload('liner.tor');
      if (!got || !here.files['liner.tor']) fail('linermesh file mode: no liner.tor');
      else differs('linermesh file mode: downloaded liner.tor', here.files['liner.tor'], got);
      console.log('linermesh file mode: its answer file downloaded and loaded back, liner.tor equal to the native file');
    }
  }

  // Check a file: the dish from the example, through the file chooser.
  await page.click('#tabs button[data-tab="check"]');
  const dish = native('dishsurface', [], readFileSync(join(examplesDir, 'dishsurface.answers')), {});
  const dishFile = join(downloads, 'dish.rsf');
  writeFileSync(dishFile, dish.files['dish.rsf']);
  const chooser = await page.$('section[data-tab="check"] input.check-file');
  await chooser.uploadFile(dishFile);
  await page.waitForFunction(() => Number(document.querySelector('section[data-tab="check"] .result').dataset.done ?? 0) > 0);
  rmSync(dishFile);
  await page.click('section[data-tab="check"] button.download[data-file="dish.rsf.svg"]');
  const svg = await waitDownload('dish.rsf.svg');
  const nativeSvg = native('radomeview', ['dish.rsf'], '', { 'dish.rsf': dish.files['dish.rsf'] }).files['dish.rsf.svg'];
  if (!svg) fail('check: no SVG downloaded');
  else differs('check: downloaded SVG', nativeSvg, svg);
  console.log('check a file: dish.rsf checked and drawn, its SVG downloaded, equal to the native one');
  // A TOR file dropped on the page: the findings are the native ones.
  const answers = readFileSync(join(examplesDir, 'linermesh.answers'));
  const tor = native('linermesh', [], '1\nliner.ans\n', { 'liner.ans': answers }).files['liner.tor'];
  const findings = native('radomeview', ['--html', 'liner.tor.html', 'liner.tor'], '', { 'liner.tor': tor }).stdout.toString('latin1');
  const before = await page.$eval('section[data-tab="check"] .result', (e) => Number(e.dataset.done ?? 0));
  await page.$eval('section[data-tab="check"] .drop', (drop, bytes) => {
    const moved = new DataTransfer();
    moved.items.add(new File([Uint8Array.from(bytes, (c) => c.charCodeAt(0))], 'liner.tor'));
    drop.dispatchEvent(new DragEvent('drop', { dataTransfer: moved, bubbles: true, cancelable: true }));
  }, tor.toString('latin1'));
  await page.waitForFunction((n) => Number(document.querySelector('section[data-tab="check"] .result').dataset.done ?? 0) > n, {}, before);
  const shownFindings = await page.$eval('section[data-tab="check"] pre.findings', (e) => e.textContent);
  if (shownFindings !== findings) fail(`check: dropped liner.tor: findings ${JSON.stringify(shownFindings)}, native ${JSON.stringify(findings)}`);
  if (!(await page.$('section[data-tab="check"] .picture svg'))) fail('check: dropped liner.tor: no picture');
  await page.screenshot({ path: join(shots, 'check.png'), fullPage: true });
  console.log('check a file: liner.tor dropped on the page, the same findings as native');

  if (errors.length > 0) fail(`errors in the page: ${errors.join('; ')}`);
  const out = requests.slice(1).filter((u) => !u.startsWith('blob:') && !u.startsWith('data:'));
  if (out.length > 0) fail(`requests went out: ${out.join(', ')}`);
  console.log(`requests: the page's own load and ${requests.length - 1} more (${requests.length - 1 - out.length} blob/data, all local)`);
  rmSync(downloads, { recursive: true });
} finally {
  await browser.close();
}
if (failures > 0) {
  console.log(`${failures} failure(s)`);
  process.exit(1);
}
console.log('web page: all passed');
