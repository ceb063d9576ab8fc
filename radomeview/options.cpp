#include "radomeview/options.h"

#include "radomeview/units.h"

namespace radomeview {

const char* const kUsage =
    "Usage: radomeview [OPTIONS] FILE...\n"
    "Checks points files, .rsf files and TOR files and draws each as FILE.svg.\n"
    "\n"
    "  --kind points|rsf|tor  read every FILE as this kind (default: from its content)\n"
    "  -o PATH                write the picture to PATH (one FILE only; - for standard output)\n"
    "  --together             draw every FILE in one picture at one scale (-o PATH names it)\n"
    "  --unit mm|cm|m|in|ft   the unit of the numbers of points and .rsf files\n"
    "  --no-picture           check only\n"
    "  --html PATH            also write one page with the pictures, findings and variables\n"
    "  --labels               number the nodes of a TOR mesh\n"
    "  -q                     print the findings only, not the summary line of each file\n"
    "  --help                 show this and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Exit status: 0 no error found, 1 an error found, 2 a file could not be read or written.\n";

bool parse_options(const std::vector<std::string>& args, Options* o, std::string* error) {
  bool only_files = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string* into) {
      if (i + 1 >= args.size()) {
        *error = "option " + a + " needs a value";
        return false;
      }
      *into = args[++i];
      return true;
    };
    if (only_files || a == "-" || a.empty() || a[0] != '-') {
      o->files.push_back(a);
    } else if (a == "--") {
      only_files = true;
    } else if (a == "--kind") {
      std::string k;
      if (!value(&k)) return false;
      o->kind = kind_from_name(k);
      if (!o->kind) {
        *error = "--kind takes points, rsf or tor, not '" + k + "'";
        return false;
      }
    } else if (a == "--unit") {
      if (!value(&o->unit)) return false;
      if (metres_per(o->unit) == 0) {
        *error = "--unit takes mm, cm, m, in or ft, not '" + o->unit + "'";
        return false;
      }
    } else if (a == "--together") {
      o->together = true;
    } else if (a == "-o") {
      if (!value(&o->output)) return false;
    } else if (a == "--html") {
      if (!value(&o->html)) return false;
    } else if (a == "--no-picture") {
      o->picture = false;
    } else if (a == "--labels") {
      o->labels = true;
    } else if (a == "-q") {
      o->quiet = true;
    } else if (a == "--help") {
      o->help = true;
    } else if (a == "--version") {
      o->version = true;
    } else {
      *error = "unknown option '" + a + "'";
      return false;
    }
  }
  if (o->help || o->version) return true;
  if (o->files.empty()) {
    *error = "no file given";
    return false;
  }
  if (o->together && o->output.empty()) {
    *error = "--together needs -o PATH for the picture";
    return false;
  }
  if (!o->output.empty() && o->files.size() != 1 && !o->together) {
    *error = "-o takes one input file";
    return false;
  }
  if (!o->output.empty() && !o->picture) {
    *error = "-o and --no-picture cannot go together";
    return false;
  }
  return true;
}

}  // namespace radomeview
