// One file from its bytes to its findings, summary and picture: the route
// every file takes, from the command line and from the fuzz targets alike.
// Each kind of file is one entry of a table: how it is detected, read and
// checked, summed up, and drawn.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "radomeview/curve.h"
#include "radomeview/drawing.h"
#include "radomeview/findings.h"
#include "radomeview/kind.h"
#include "radomeview/mesh.h"
#include "radomeview/source.h"

namespace radomeview {

struct FileReport {
  std::string file;
  Kind kind = Kind::points;
  Findings findings;
  std::variant<Curve, Tor> content;  // a points or .rsf file's curve, or a TOR file's meshes
  std::string summary;               // the last line printed for the file

  const Curve* curve() const { return std::get_if<Curve>(&content); }
  const Tor* tor() const { return std::get_if<Tor>(&content); }
};

// How a picture is drawn.
struct DrawOptions {
  bool labels = false;  // node numbers
  std::string unit;     // --unit: what the numbers of a points or .rsf file are, or empty
  // Where given, the picture of a large mesh is handed over in parts as it
  // is drawn; the string drawn into then holds only the last part.
  std::function<void(const std::string&)> spill;
};

struct KindEntry {
  Kind kind;
  bool (*detect)(const Head& head);
  void (*read)(ByteSource& source, FileReport* r);  // and check
  std::string (*summary)(const FileReport& r);
  // The names of the axes, in `unit` where the file states none.
  void (*axes)(const FileReport& r, const std::string& unit, std::string* x, std::string* y);
  std::string (*title)(const FileReport& r);
  std::string (*unit)(const FileReport& r);  // the unit the file states, or empty
  Extents (*extents)(const FileReport& r, const Place& place);
  void (*draw)(const FileReport& r, const Frame& f, const Place& place, const Style& style, std::string& o);
  void (*legend)(const FileReport& r, std::vector<LegendRow>* rows);
};

const KindEntry& kind_entry(Kind k);

// Reads and checks; false when the file is none of the three kinds.
bool check_file(ByteSource& source, const std::string& name, std::optional<Kind> kind, FileReport* r);

// The picture of one file.
void draw(const FileReport& r, const DrawOptions& o, std::string* svg);

}  // namespace radomeview
