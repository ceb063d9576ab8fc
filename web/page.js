// The page: a form for each dialogue program, its run and its file; and a
// check of any file with radomeview. Data arrive from the build (the modules,
// the dialogues, the example answer files); nothing is fetched.
import { addModule, run } from './engine.js';
import { fill, linesOf, promptText, questions, standardInput } from './dialogue.js';

const decoder = new TextDecoder();

function element(tag, attributes = {}, ...children) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attributes)) {
    if (k === 'class') e.className = v;
    else if (k.startsWith('on')) e.addEventListener(k.slice(2), v);
    else e.setAttribute(k, v);
  }
  for (const c of children) e.append(c);
  return e;
}

function fromBase64(text) {
  return Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
}

function downloadButton(label, name, bytes, type) {
  return element('button', {
    type: 'button',
    class: 'download',
    'data-file': name,
    onclick: () => {
      const url = URL.createObjectURL(new Blob([bytes], { type }));
      const a = element('a', { href: url, download: name });
      document.body.append(a);
      a.click();
      a.remove();
      setTimeout(() => URL.revokeObjectURL(url), 1000);
    },
  }, label);
}

// Text with its line ends shown: CR as a mark, so that CR LF files read as such.
function shownText(bytes) {
  const pre = element('pre', { class: 'file-text' });
  for (const part of decoder.decode(bytes).split(/(\r)/)) {
    pre.append(part === '\r' ? element('span', { class: 'cr', title: 'carriage return' }, 'CR') : part);
  }
  return pre;
}

function inlineSvg(bytes) {
  const doc = new DOMParser().parseFromString(decoder.decode(bytes), 'image/svg+xml');
  const root = doc.documentElement;
  if (root.nodeName !== 'svg') return element('p', { class: 'error' }, 'The picture could not be read.');
  root.removeAttribute('width');
  root.removeAttribute('height');
  return element('div', { class: 'picture' }, document.importNode(root, true));
}

// radomeview on one file: its findings, its picture and its HTML page.
async function check(name, bytes) {
  const r = await run('radomeview', ['--html', `${name}.html`, name], '', { [name]: bytes });
  const box = element('div', { class: 'check' },
    element('h4', {}, `radomeview ${name}`),
    element('pre', { class: 'findings' }, decoder.decode(r.stdout) + decoder.decode(r.stderr)),
    element('p', { class: 'status' }, `exit status ${r.status}`));
  const svg = r.files[`${name}.svg`];
  const html = r.files[`${name}.html`];
  const buttons = element('p', {});
  if (svg) buttons.append(downloadButton('Download the SVG', `${name}.svg`, svg, 'image/svg+xml'));
  if (html) buttons.append(downloadButton('Download the HTML report', `${name}.html`, html, 'text/html'));
  box.append(buttons);
  if (svg) box.append(inlineSvg(svg));
  return box;
}

function fileBox(name, bytes) {
  return element('div', { class: 'written', 'data-name': name },
    element('h4', {}, `${name}, ${bytes.length} bytes`),
    downloadButton(`Download ${name}`, name, bytes, 'application/octet-stream'),
    shownText(bytes));
}

function same(a, b) {
  return a && b && a.length === b.length && a.every((x, i) => x === b[i]);
}

class ProgramForm {
  constructor(program, examples, panel) {
    this.program = program;
    this.examples = examples;
    this.answers = new Map();
    this.rest = [];
    this.answerFile = null;  // linermesh's file mode: {name, bytes}
    this.fields = element('div', { class: 'fields' });
    this.result = element('div', { class: 'result', 'aria-live': 'polite' });
    const names = program.examples ?? [];
    const picker = element('select', { class: 'example', onchange: (e) => this.loadExample(e.target.value) },
      ...names.map((n) => element('option', { value: n }, n)));
    const loader = element('input', { type: 'file', class: 'load-answers', onchange: (e) => this.loadFile(e.target.files[0]) });
    const tools = element('div', { class: 'tools' },
      element('label', {}, 'Example answers ', picker),
      element('label', {}, 'Load an answer file ', loader),
      element('button', { type: 'button', class: 'save-answers', onclick: () => this.saveAnswers() }, 'Download the answers'));
    if (program.answer_file) {
      tools.append(element('button', { type: 'button', class: 'save-answer-file', onclick: () => this.saveAnswerFile() },
        'Download as an answer file'));
      const own = element('input', { type: 'file', class: 'load-input-file', onchange: (e) => this.loadInputFile(e.target.files[0]) });
      this.inputFileNote = element('span', { class: 'note' }, 'none loaded');
      tools.append(element('label', { title: program.answer_file }, 'Answer file for file mode ', own), this.inputFileNote);
    }
    panel.append(
      element('p', { class: 'banner' }, program.banner ?? ''),
      tools,
      element('form', { class: 'dialogue', onsubmit: (e) => { e.preventDefault(); this.run(); } },
        this.fields,
        element('p', {}, element('button', { type: 'submit', class: 'run' }, `Run ${program.name}`))),
      this.result);
    if (names.length > 0) this.loadExample(names[0]);
    else this.render();
  }

  // An example of a program with an answer file is one: its lines answer
  // the questions after the first, which chooses the console.
  loadExample(name) {
    const text = this.examples[name] ?? '';
    this.load(this.program.answer_file ? `0\n${text}` : text);
  }

  load(text) {
    const { answers, rest } = fill(this.program.steps, linesOf(text ?? ''));
    this.answers = answers;
    this.rest = rest;
    this.render();
  }

  async loadFile(file) {
    if (file) this.load(decoder.decode(new Uint8Array(await file.arrayBuffer())));
  }

  // An answer file for the program to read: it goes into the run's folder,
  // and the form switches to file mode with its name (the first question
  // chooses the mode; the one asked when it is 1 takes the name).
  async loadInputFile(file) {
    if (!file) return;
    this.answerFile = { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) };
    this.inputFileNote.textContent = `${file.name}, ${this.answerFile.bytes.length} bytes`;
    const mode = this.program.steps[0];
    const named = this.program.steps.find((s) => s.when?.id === mode.id && s.when.in?.includes(1));
    this.answers.set(mode.id, '1');
    if (named) this.answers.set(named.id, file.name);
    this.render();
  }

  // The fields of the questions these answers lead to; a change that alters
  // which questions follow redraws them, keeping what was typed. A repeated
  // group is a table, one row per layer: its lines that name the layer head
  // the row, the rest of each prompt heads its column.
  render() {
    const focused = document.activeElement?.dataset?.key;
    this.fields.replaceChildren();
    let table = null;
    let row = null;
    const headed = new Set();  // the group's questions with a column
    for (const q of questions(this.program.steps, this.answers)) {
      const input = element('input', {
        type: 'text', 'data-key': q.key, name: q.key, title: q.step.holds ?? '', autocomplete: 'off', spellcheck: 'false',
      });
      input.value = this.answers.get(q.key) ?? '';
      input.addEventListener('input', () => {
        this.answers.set(q.key, input.value);
        const now = questions(this.program.steps, this.answers).map((x) => x.key).join();
        if (now !== this.shown) this.render();
      });
      if (q.layer === 0) {
        table = null;
        this.fields.append(element('label', { class: 'question' },
          element('span', { class: 'prompt' }, promptText(q.step, 0)), input,
          element('span', { class: 'holds' }, q.step.holds ?? '')));
        continue;
      }
      const lines = q.step.prompt.split('\n');
      const naming = lines.filter((l) => l.includes('{layer}'));
      const asked = lines.filter((l) => !l.includes('{layer}')).join(' ');
      if (!table) {
        table = element('table', { class: 'layers' }, element('tr', {}, element('th', {}, '')));
        this.fields.append(table);
        headed.clear();
      }
      if (!headed.has(q.step.id)) {
        headed.add(q.step.id);
        table.firstChild.append(element('th', { title: q.step.holds ?? '' }, asked,
          element('span', { class: 'holds' }, q.step.holds ?? '')));
      }
      if (!row || row.dataset.layer !== String(q.layer)) {
        row = element('tr', { 'data-layer': String(q.layer) }, element('th', { class: 'layer-name' }, ''));
        table.append(row);
      }
      if (naming.length > 0) row.firstChild.textContent = naming.map((l) => promptText({ prompt: l }, q.layer)).join(' ');
      else if (!row.firstChild.textContent) row.firstChild.textContent = `Layer ${q.layer}`;
      row.append(element('td', {}, input));
    }
    this.shown = questions(this.program.steps, this.answers).map((x) => x.key).join();
    if (focused) this.fields.querySelector(`[data-key="${focused}"]`)?.focus();
  }

  stdin() {
    return standardInput(this.program.steps, this.answers, this.rest);
  }

  saveAnswers() {
    const bytes = new TextEncoder().encode(this.stdin());
    downloadButton('', `${this.program.name}.answers`, bytes, 'text/plain').click();
  }

  // The form linermesh's file mode reads: the answers after the first.
  saveAnswerFile() {
    const bytes = new TextEncoder().encode(this.stdin().replace(/^[^\n]*\n/, ''));
    downloadButton('', `${this.program.name}.answers`, bytes, 'text/plain').click();
  }

  async run() {
    const files = {};
    if (this.answerFile) files[this.answerFile.name] = this.answerFile.bytes;
    this.result.replaceChildren(element('p', {}, 'Running…'));
    const r = await run(this.program.name, [], this.stdin(), files);
    const out = [
      element('h3', {}, 'Console'),
      element('pre', { class: 'console' }, decoder.decode(r.stdout)),
      element('p', { class: `status${r.status === 0 ? '' : ' failed'}` }, `exit status ${r.status}`),
    ];
    if (r.stderr.length > 0) out.push(element('pre', { class: 'diagnostic' }, decoder.decode(r.stderr)));
    for (const [name, bytes] of Object.entries(r.files)) {
      if (same(files[name], bytes)) continue;  // the answer file, read only
      out.push(fileBox(name, bytes));
      if (bytes.length > 0) out.push(await check(name, bytes));
    }
    this.result.replaceChildren(...out);
    this.result.dataset.done = String(Number(this.result.dataset.done ?? 0) + 1);
  }
}

function checkPanel(panel) {
  const result = element('div', { class: 'result' });
  const take = async (file) => {
    if (!file) return;
    result.replaceChildren(element('p', {}, 'Checking…'));
    result.replaceChildren(await check(file.name, new Uint8Array(await file.arrayBuffer())));
    result.dataset.done = String(Number(result.dataset.done ?? 0) + 1);
  };
  const drop = element('div', { class: 'drop' }, 'Drop a points, .rsf or TOR file here, or ',
    element('input', { type: 'file', class: 'check-file', onchange: (e) => take(e.target.files[0]) }));
  drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', (e) => { e.preventDefault(); drop.classList.remove('over'); take(e.dataTransfer.files[0]); });
  panel.append(drop, result);
}

export function start({ modules, dialogues, examples }) {
  for (const [name, base64] of Object.entries(modules)) addModule(name, fromBase64(base64));
  const tabs = document.getElementById('tabs');
  const panels = document.getElementById('panels');
  const show = (name) => {
    for (const t of tabs.children) t.setAttribute('aria-selected', String(t.dataset.tab === name));
    for (const p of panels.children) p.hidden = p.dataset.tab !== name;
  };
  const add = (name, title, fillPanel) => {
    tabs.append(element('button', { type: 'button', role: 'tab', 'data-tab': name, onclick: () => show(name) }, title));
    const panel = element('section', { role: 'tabpanel', 'data-tab': name });
    panels.append(panel);
    fillPanel(panel);
  };
  for (const program of dialogues.programs) {
    add(program.name, program.name, (panel) => new ProgramForm(program, examples, panel));
  }
  add('check', 'Check a file', checkPanel);
  show(dialogues.programs[0].name);
  window.radomeTools = { run, ready: true };
  document.body.dataset.ready = 'true';
}
