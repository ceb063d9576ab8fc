// Linked into every program of the Windows build: the standard streams, and
// the files a program opens without saying how, carry bytes unchanged, as on
// POSIX. Without it the C run-time turns each LF written into CR LF and drops
// the CR of each CR LF read, and a program's output would differ by platform.
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>

#include <cstdio>

namespace {

const bool g_binary = [] {
  *__p__fmode() = _O_BINARY;
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return true;
}();

}  // namespace
