// DIALOGUES_JSON=build-web/web/dialogues.json node --test tests/web/dialogue.test.mjs
// The page's walk of a dialogue (web/dialogue.js) on the declared dialogues:
// every example answer file comes back byte for byte as the answers the page
// offers for download, and the questions shown follow the answers that
// choose them.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { fill, leadingInteger, linesOf, questions, repeatCount, standardInput } from '../../web/dialogue.js';

const root = join(dirname(fileURLToPath(import.meta.url)), '../..');
const dialogues = JSON.parse(readFileSync(process.env.DIALOGUES_JSON, 'utf8'));
const program = (name) => dialogues.programs.find((p) => p.name === name);

test('the integer that chooses the questions', () => {
  const cases = [['1', 1], [' 4 ', 4], ['2,5', 2], ['3 7 9', 3], ['-1', -1], ['1.9', 1], ['1.5D1', 15], ['2E0', 2],
    ['T', -1], ['.f', 0], ['true', -1], ['', 0], ['x', 0], [',', 0], ['5', 5]];
  for (const [text, value] of cases) assert.equal(leadingInteger(text), value, text);
  for (const [text, count] of [['3', 3], ['0', 0], ['-2', 0], ['150', 99], ['', 0]]) assert.equal(repeatCount(text), count, text);
});

test('every example answer file round-trips through the form', () => {
  for (const p of dialogues.programs) {
    for (const name of p.examples) {
      const text = readFileSync(join(root, 'examples', name), 'latin1');
      // An example of a program with an answer file is one: the console's
      // first answer chooses the console.
      const piped = p.answer_file ? `0\n${text}` : text;
      const { answers, rest } = fill(p.steps, linesOf(piped));
      assert.deepEqual(rest, [], `${name}: lines left over`);
      assert.equal(standardInput(p.steps, answers), piped, name);
    }
  }
});

test('questions follow the answers', () => {
  const keys = (name, lines) => {
    const p = program(name);
    return questions(p.steps, fill(p.steps, lines).answers).map((q) => q.key);
  };
  const dome = (curve) => keys('domeprofile', [curve, 'f']).length;
  // Curves 1 to 3 ask for the center, their own, and the angles; 4 for five
  // more; 0 and below for the center and the angles only; above 4 nothing.
  assert.deepEqual([dome('1'), dome('2'), dome('3'), dome('4'), dome('0'), dome('-3'), dome('5')], [5, 5, 5, 7, 4, 4, 2]);
  assert.deepEqual(keys('linermesh', ['1', 'a.ans']), ['file_input', 'answer_file']);
  const layers = (n) => keys('linermesh', ['0', 'o.tor', n]).filter((k) => k.includes('#'));
  assert.deepEqual(layers('2'), ['material#1', 'thickness#1', 'material#2', 'thickness#2']);
  assert.deepEqual([layers('0').length, layers('-1').length, layers('99').length], [0, 0, 198]);
});

test('lines left over are kept, after the answers', () => {
  const p = program('dishsurface');
  const { answers, rest } = fill(p.steps, ['a.rsf', '1 0', '0 10 5', '1', 'L', 'extra', '']);
  assert.deepEqual(rest, ['extra', '']);
  assert.equal(standardInput(p.steps, answers, rest), 'a.rsf\n1 0\n0 10 5\n1\nL\nextra\n\n');
});
