// Runs a piece of code against the layer in a forked child, with standard
// input, output and error redirected, so that console bytes, diagnostics and
// exit statuses can be checked exactly and every case starts from a fresh
// unit table.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "textio/failure.h"
#include "textio/units.h"

namespace child {

struct Result {
  std::string out;
  std::string err;
  int status = -1;  // exit status, or 128 + signal
  std::map<std::string, std::string> files;  // files the child left in its directory
};

inline std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// `body` runs in the child; if it returns, the units are closed as at the
// normal end of a run and the child exits with the normal status.
inline Result run(const std::function<void()>& body, const std::string& input = "") {
  char dir_template[] = "/tmp/textio-child-XXXXXX";
  const std::string dir = mkdtemp(dir_template);
  const std::string in_path = dir + "/in", out_path = dir + "/out", err_path = dir + "/err";
  {
    std::ofstream in(in_path, std::ios::binary);
    in << input;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(in_path.c_str(), O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (chdir(dir.c_str()) != 0) _exit(125);
    body();
    textio::close_all_units();
    _exit(textio::normal_exit_status());
  }
  int ws = 0;
  waitpid(pid, &ws, 0);
  Result r;
  r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
  r.out = slurp(out_path);
  r.err = slurp(err_path);
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && name != "in" && name != "out" && name != "err") {
      r.files[name] = slurp(entry.path().string());
    }
  }
  std::filesystem::remove_all(dir);
  return r;
}

}  // namespace child
