// radomeview: checks the files the radome programs write, and those other
// tools write in the same formats, and draws them.
//
//   radomeview [--kind K] [-o PATH] [--together] [--unit U] [--no-picture]
//              [--html PATH] [--labels] [-q] FILE...
//
// For each file: its findings and a summary line on standard output, its
// picture in FILE.svg (or, with --together, every file in one picture).
// Status 0 when no file has an error, 1 when one has, 2 when a file cannot
// be read or written or is none of the three kinds.
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif

#include "cli/version.h"
#include "radomeview/assembly.h"
#include "radomeview/html.h"
#include "radomeview/options.h"
#include "radomeview/report.h"

namespace {

using radomeview::FileReport;

// A file opened here, read through the C library: the one place radomeview
// touches a FILE*.
class FileSource final : public radomeview::ByteSource {
 public:
  explicit FileSource(std::FILE* f) : f_(f) {}
  std::size_t read(char* to, std::size_t n) override { return std::fread(to, 1, n, f_); }
  bool failed() const override { return std::ferror(f_) != 0; }
  bool rewind() override {
    std::rewind(f_);
    return true;
  }

 private:
  std::FILE* f_;
};

void put(std::FILE* to, const std::string& s) { std::fwrite(s.data(), 1, s.size(), to); }

void complain(const std::string& what) { put(stderr, "radomeview: " + what + "\n"); }

// A file written as its bytes come, PATH "-" standard output; the picture
// of a large mesh goes out in parts rather than whole. Every failure is one
// diagnostic, when the file is closed.
class Output {
 public:
  explicit Output(const std::string& path) : path_(path) {
    if (path == "-") {
      f_ = stdout;
      return;
    }
    f_ = std::fopen(path.c_str(), "wb");
    if (!f_) complain(path + ": cannot write: " + std::strerror(errno));
  }
  bool opened() const { return f_ != nullptr; }
  void put(const std::string& bytes) {
    if (f_ && !failed_ && std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size()) {
      failed_ = true;
      error_ = errno;
    }
  }
  // False after a diagnostic.
  bool close() {
    if (!f_) return false;
    if (f_ == stdout) return std::fflush(stdout) == 0 && !failed_;
    const bool closed = std::fclose(f_) == 0;
    if (!closed || failed_) {
      complain(path_ + ": cannot write: " + std::strerror(failed_ ? error_ : errno));
      return false;
    }
    return true;
  }

 private:
  std::string path_;
  std::FILE* f_ = nullptr;
  bool failed_ = false;
  int error_ = 0;  // errno of the failed write
};

// Writes bytes to PATH ("-": standard output); false after a diagnostic.
bool write_out(const std::string& path, const std::string& bytes) {
  Output out(path);
  out.put(bytes);
  return out.close();
}

// Reads and checks a file; null after a diagnostic when it cannot be read
// or is none of the three kinds.
std::unique_ptr<FileReport> check(const std::string& name, const radomeview::Options& opt) {
  std::FILE* in = std::fopen(name.c_str(), "rb");
  if (!in) {
    complain(name + ": cannot open: " + std::strerror(errno));
    return nullptr;
  }
  // A directory opens but cannot be read: that is found before any check.
  if (std::fgetc(in) == EOF && std::ferror(in)) {
    complain(name + ": cannot read: " + std::strerror(errno));
    std::fclose(in);
    return nullptr;
  }
  std::rewind(in);
  auto r = std::make_unique<FileReport>();
  FileSource source(in);
  const bool known = radomeview::check_file(source, name, opt.kind, r.get());
  std::fclose(in);
  if (!known) {
    complain(name + ": not a points file, .rsf file or TOR file (--kind chooses one)");
    return nullptr;
  }
  return r;
}

// The findings and summary of a file.
void print(std::FILE* to, const FileReport& r, bool quiet) {
  for (const radomeview::Finding& f : r.findings.kept()) put(to, radomeview::finding_line(r.file, f) + "\n");
  if (!quiet) put(to, r.summary + "\n");
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // A large mesh is read into tables that are let go once read, and then
  // checked with arrays of about their size. Left alone, the C library hands
  // every large block back to the system when it is freed and maps fresh
  // pages for the next one, and in a virtual machine a fresh page costs
  // more than the work done on it: blocks of up to 32 MB are kept for reuse.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  // The same heap in huge pages where the system offers them on request:
  // one fault for 2 MB instead of 512.
  constexpr std::size_t kHeap = 30 << 20, kHuge = 2 << 20;
  if (void* p = std::malloc(kHeap)) {
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t lo = (at + kHuge - 1) & ~(kHuge - 1), hi = (at + kHeap) & ~(kHuge - 1);
    if (hi > lo) madvise(reinterpret_cast<void*>(lo), hi - lo, MADV_HUGEPAGE);
    std::free(p);
  }
#endif
  radomeview::Options opt;
  std::string error;
  if (!radomeview::parse_options(std::vector<std::string>(argv + 1, argv + argc), &opt, &error)) {
    complain(error);
    put(stderr, "Try 'radomeview --help'.\n");
    return 2;
  }
  if (opt.help) {
    put(stdout, radomeview::kUsage);
    return 0;
  }
  if (opt.version) {
    put(stdout, std::string("radomeview (radome tools) ") + cli::kVersion + "\n");
    return 0;
  }

  // With the picture on standard output the findings go to standard error.
  std::FILE* report_to = opt.output == "-" ? stderr : stdout;
  radomeview::DrawOptions draw_options;
  draw_options.labels = opt.labels;
  draw_options.unit = opt.unit;
  int status = 0;
  std::vector<std::unique_ptr<FileReport>> kept;  // for the page and the assembly
  std::vector<radomeview::PageSection> page;
  for (const std::string& name : opt.files) {
    std::unique_ptr<FileReport> r = check(name, opt);
    if (!r) {
      status = 2;
      continue;
    }
    if (r->findings.errors() > 0 && status == 0) status = 1;
    radomeview::PageSection section;
    section.heading = name;
    section.report = r.get();
    if (!opt.together) {
      print(report_to, *r, opt.quiet);
      if (!opt.html.empty()) {
        radomeview::draw(*r, draw_options, &section.svg);
        if (opt.picture && !write_out(opt.output.empty() ? name + ".svg" : opt.output, section.svg)) status = 2;
      } else if (opt.picture) {
        Output out(opt.output.empty() ? name + ".svg" : opt.output);
        if (out.opened()) {
          std::string svg;
          radomeview::DrawOptions streamed = draw_options;
          streamed.spill = [&out](const std::string& part) { out.put(part); };
          radomeview::draw(*r, streamed, &svg);
          out.put(svg);
        }
        if (!out.close()) status = 2;
      }
    } else if (!opt.html.empty()) {
      radomeview::draw(*r, draw_options, &section.svg);
    }
    if (!opt.html.empty()) page.push_back(std::move(section));
    if (!opt.html.empty() || opt.together) kept.push_back(std::move(r));
  }

  if (opt.together) {
    std::vector<const FileReport*> files;
    for (const auto& r : kept) files.push_back(r.get());
    // A points or .rsf file states no unit: without --unit its numbers are
    // taken to be in the unit of the drawing, and the file says so.
    const std::string unit = radomeview::assembly_unit(files, opt.unit);
    for (const auto& r : kept) {
      if (r->kind != radomeview::Kind::tor && opt.unit.empty() && !unit.empty()) {
        r->findings.add(0, radomeview::Severity::note,
                        "the file states no unit: its numbers are drawn as '" + unit +
                            "', the unit of the drawing (--unit says what they are)");
        r->findings.sort();
      }
      print(report_to, *r, opt.quiet);
    }
    std::string svg, title;
    for (const std::string& name : opt.files) title += (title.empty() ? "" : ", ") + name;
    radomeview::draw_assembly(files, draw_options, title, &svg);
    if (opt.picture && !write_out(opt.output, svg)) status = 2;
    if (!opt.html.empty()) page.insert(page.begin(), radomeview::PageSection{"together: " + title, svg, nullptr});
  }
  if (!opt.html.empty()) {
    std::string html;
    radomeview::write_html(page, &html);
    if (!write_out(opt.html, html)) status = 2;
  }
  if (std::fflush(stdout) != 0) status = 2;
  return status;
}
