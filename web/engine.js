// Runs one of the programs, compiled to WebAssembly, as a piped run would:
// its arguments, its standard input as bytes, the files present before the
// run; back come standard output and error as bytes, the exit status and
// every file afterwards. Everything stays in memory, in this page.
import { ConsoleStdout, File, OpenFile, PreopenDirectory, WASI, wasi } from '@bjorn3/browser_wasi_shim';

const modules = new Map();  // program name -> Promise<WebAssembly.Module>

export function addModule(program, bytes) {
  modules.set(program, WebAssembly.compile(bytes));
}

export function programs() {
  return [...modules.keys()];
}

const encoder = new TextEncoder();

// An open file whose bytes grow by doubling: the shim's own copies the whole
// file on every write that lengthens it, and a program writes a record at a
// time. file.data stays a view of the bytes there are, from offset 0.
class GrowingOpenFile extends OpenFile {
  fd_write(data) {
    const r = this.fd_pwrite(data, this.file_pos);
    this.file_pos += BigInt(r.nwritten);
    return r;
  }

  fd_pwrite(data, offset) {
    if (this.file.readonly) return { ret: wasi.ERRNO_BADF, nwritten: 0 };
    const at = Number(offset);
    const end = at + data.byteLength;
    let bytes = this.file.data;
    if (end > bytes.buffer.byteLength) {
      const grown = new Uint8Array(Math.max(end, 2 * bytes.buffer.byteLength, 4096));
      grown.set(bytes);
      bytes = grown.subarray(0, bytes.length);
    }
    if (end > bytes.length) bytes = new Uint8Array(bytes.buffer, 0, end);
    bytes.set(data, at);
    this.file.data = bytes;
    return { ret: wasi.ERRNO_SUCCESS, nwritten: data.byteLength };
  }
}

// The run's folder. Names are held to 255 bytes a part, as on the systems
// the programs are built for, so that a name too long fails as it does there.
class Folder extends PreopenDirectory {
  path_open(dirflags, path, ...rest) {
    if (path.split('/').some((part) => encoder.encode(part).length > 255)) {
      return { ret: wasi.ERRNO_NAMETOOLONG, fd_obj: null };
    }
    const opened = super.path_open(dirflags, path, ...rest);
    if (opened.fd_obj instanceof OpenFile) opened.fd_obj = new GrowingOpenFile(opened.fd_obj.file);
    return opened;
  }
}

function toBytes(data) {
  if (data instanceof Uint8Array) return data;
  if (typeof data === 'string') return encoder.encode(data);
  return new Uint8Array(data ?? 0);
}

function joined(chunks) {
  const all = new Uint8Array(chunks.reduce((n, c) => n + c.length, 0));
  let at = 0;
  for (const c of chunks) {
    all.set(c, at);
    at += c.length;
  }
  return all;
}

export async function run(program, args = [], stdin = '', files = {}) {
  const module = await modules.get(program);
  if (!module) throw new Error(`no program ${program}`);
  const out = [];
  const err = [];
  const folder = new Map(Object.entries(files).map(([name, data]) => [name, new File(toBytes(data))]));
  const wasi = new WASI([program, ...args], [], [
    new OpenFile(new File(toBytes(stdin), { readonly: true })),
    new ConsoleStdout((b) => out.push(b)),
    new ConsoleStdout((b) => err.push(b)),
    new Folder('.', folder),
  ]);
  const instance = await WebAssembly.instantiate(module, { wasi_snapshot_preview1: wasi.wasiImport });
  let status;
  try {
    status = wasi.start(instance);
  } catch (e) {
    // A trap (out of memory, a bug) ends the run as a crash would.
    err.push(encoder.encode(`${program}: ${e}\n`));
    status = 134;
  }
  const after = {};
  for (const [name, inode] of folder) {
    if (inode instanceof File) after[name] = inode.data.slice();
  }
  return { stdout: joined(out), stderr: joined(err), status, files: after };
}
