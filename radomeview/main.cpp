// radomeview: checks the files the radome programs write and draws them.
//
//   radomeview [--kind K] [-o PATH] [--no-picture] [--html PATH] [--labels] [-q] FILE...
//
// For each file: its findings and a summary line on standard output, its
// picture in FILE.svg. Status 0 when no file has an error, 1 when one has,
// 2 when a file cannot be read or written or is none of the three kinds.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli/version.h"
#include "radomeview/html.h"
#include "radomeview/options.h"
#include "radomeview/report.h"

namespace {

using radomeview::FileReport;

void put(std::FILE* to, const std::string& s) { std::fwrite(s.data(), 1, s.size(), to); }

void complain(const std::string& what) { put(stderr, "radomeview: " + what + "\n"); }

// Writes bytes to PATH ("-": standard output); false after a diagnostic.
bool write_out(const std::string& path, const std::string& bytes) {
  if (path == "-") {
    put(stdout, bytes);
    return std::fflush(stdout) == 0;
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    complain(path + ": cannot write: " + std::strerror(errno));
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !written) {
    complain(path + ": cannot write: " + std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
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
  int status = 0;
  std::vector<std::unique_ptr<FileReport>> kept;  // for the page
  std::vector<radomeview::PageSection> page;
  for (const std::string& name : opt.files) {
    std::FILE* in = std::fopen(name.c_str(), "rb");
    if (!in) {
      complain(name + ": cannot open: " + std::strerror(errno));
      status = 2;
      continue;
    }
    // A directory opens but cannot be read: that is found before any check.
    if (std::fgetc(in) == EOF && std::ferror(in)) {
      complain(name + ": cannot read: " + std::strerror(errno));
      std::fclose(in);
      status = 2;
      continue;
    }
    std::rewind(in);
    auto r = std::make_unique<FileReport>();
    const bool known = radomeview::check_file(in, name, opt.kind, r.get());
    std::fclose(in);
    if (!known) {
      complain(name + ": not a points file, .rsf file or TOR file (--kind chooses one)");
      status = 2;
      continue;
    }

    radomeview::PageSection section;
    section.file = name;
    for (const radomeview::Finding& f : r->findings.kept()) {
      section.findings.push_back(radomeview::finding_line(name, f));
      put(report_to, section.findings.back() + "\n");
    }
    if (!opt.quiet) put(report_to, r->summary + "\n");
    if (r->findings.errors() > 0 && status == 0) status = 1;

    if (opt.picture || !opt.html.empty()) {
      std::string svg;
      radomeview::draw(*r, opt.labels, &svg);
      if (opt.picture && !write_out(opt.output.empty() ? name + ".svg" : opt.output, svg)) status = 2;
      if (!opt.html.empty()) section.svg = std::move(svg);
    }
    if (!opt.html.empty()) {
      section.summary = r->summary;
      if (r->kind == radomeview::Kind::tor) section.variables = &r->tor.variables;
      page.push_back(std::move(section));
      kept.push_back(std::move(r));
    }
  }
  if (!opt.html.empty()) {
    std::string html;
    radomeview::write_html(page, &html);
    if (!write_out(opt.html, html)) status = 2;
  }
  if (std::fflush(stdout) != 0) status = 2;
  return status;
}
