// A program's dialogue, as the `dialogues` tool declares it, walked for a
// set of answers: which questions the program asks, in order, so that the
// form shows those and the answers become standard input line by line.

// The integer at the start of an answer, as far as the form needs it to know
// which questions follow (the program reads the text itself): T and F are
// -1 and 0, as the free-form reader has them; anything else not a number is 0.
export function leadingInteger(text) {
  const word = text.trim().split(/[\s,]+/)[0] ?? '';
  if (/^\.?[tT]/.test(word)) return -1;
  if (/^\.?[fF]/.test(word)) return 0;
  const n = Number.parseFloat(word.replace(/[dDqQ]/, 'e'));
  return Number.isFinite(n) ? Math.trunc(n) : 0;
}

// How many times a repeated group runs for the answer that counts it: the
// program takes at most 99 layers and refuses more, and none below one.
export function repeatCount(text) {
  return Math.max(0, Math.min(99, leadingInteger(text)));
}

// Whether a step (or a repeated group) is asked: its "when" names an earlier
// answer and the integers for which it is (in, not_in, at_most, at_least).
function asked(step, answers) {
  const when = step.when;
  if (!when) return true;
  const v = leadingInteger(answers.get(when.id) ?? '');
  return (when.in === undefined || when.in.includes(v)) &&
    (when.not_in === undefined || !when.not_in.includes(v)) &&
    (when.at_most === undefined || v <= when.at_most) &&
    (when.at_least === undefined || v >= when.at_least);
}

// The questions asked for these answers (a Map from key to text), in order:
// {key, step, layer}. A step in a repeated group has the key "id#layer".
export function questions(steps, answers) {
  const out = [];
  for (const step of steps) {
    if (step.repeat !== undefined) {
      if (!asked(step, answers)) continue;
      const n = repeatCount(answers.get(step.repeat) ?? '');
      for (let layer = 1; layer <= n; ++layer) {
        for (const inner of step.steps) {
          if (asked(inner, answers)) out.push({ key: `${inner.id}#${layer}`, step: inner, layer });
        }
      }
    } else if (asked(step, answers)) {
      out.push({ key: step.id, step, layer: 0 });
    }
  }
  return out;
}

// Answer lines into the answers they give, question by question: each line
// settles the questions that follow it. Lines left over are returned apart.
export function fill(steps, lines) {
  const answers = new Map();
  let used = 0;
  for (;;) {
    const next = questions(steps, answers).find((q) => !answers.has(q.key));
    if (!next || used >= lines.length) break;
    answers.set(next.key, lines[used++]);
  }
  return { answers, rest: lines.slice(used) };
}

// The standard input a piped run reads for these answers: one line each.
export function standardInput(steps, answers, rest = []) {
  const lines = questions(steps, answers).map((q) => answers.get(q.key) ?? '');
  return [...lines, ...rest].map((l) => `${l}\n`).join('');
}

// The prompt as the program shows it for this layer.
export function promptText(step, layer) {
  return step.prompt.replaceAll('{layer}', String(layer));
}

// Lines of an answer file (CR LF or LF); a last line without its end counts.
export function linesOf(text) {
  const lines = text.split(/\r?\n/);
  if (lines.length > 0 && lines[lines.length - 1] === '') lines.pop();
  return lines;
}
