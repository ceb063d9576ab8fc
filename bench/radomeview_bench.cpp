// radomeview_bench: radomeview checking and drawing a 1,000,000-point .rsf
// file against rsf_floor reading the same file, each a whole process started
// here, in alternating order; medians of wall and CPU time, the median of
// the ratios of each pair of runs (this machine's speed drifts over seconds,
// and a pair run back to back shares it), and peak resident memory at
// 100,000 and 1,000,000 points. Then the same for a TOR file whose one
// bor_mesh has 100,000 numeric node rows and 100,000 segments (a closed
// ring), read, checked and drawn, against rsf_floor parsing every number of
// that file: within 3 times.
//
//   radomeview_bench [--runs N]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "spawn.h"

namespace {

[[noreturn]] void die(const std::string& why) {
  std::fprintf(stderr, "radomeview_bench: %s\n", why.c_str());
  std::exit(1);
}

using bench::Run;

Run spawn(const std::vector<std::string>& argv, const std::string& dir, const std::string& input) {
  bench::Spawn s;
  s.argv = argv;
  s.dir = dir;
  s.stdin_path = input;
  return bench::spawn(s);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

long file_size(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

// A .rsf file of `points` points written by dishsurface itself.
std::string make_rsf(const std::string& dir, long points) {
  std::string name = "p";
  name += std::to_string(points);
  name += ".rsf";
  const std::string answers = dir + "/answers";
  std::FILE* f = std::fopen(answers.c_str(), "w");
  std::fprintf(f, "%s\n1000 0\n0 %ld 1\n1\nBENCH\n", name.c_str(), points - 1);
  std::fclose(f);
  spawn({std::string(PROGRAMS_DIR) + "/dishsurface"}, dir, answers);
  const std::string path = dir + "/" + name;
  if (file_size(path) < points * 38) die("dishsurface did not write " + path);
  return path;
}

// A TOR file of one bor_mesh: `n` nodes on an ellipse, numbered 1 to n,
// and n linear segments joining them into a ring.
std::string make_tor(const std::string& dir, long n) {
  const std::string path = dir + "/ring.tor";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fprintf(f, "ring  bor_mesh\r\n(\r\n  length_unit : mm,\r\n  regions : table\r\n  (\r\n"
                  "    1  4.0  1.0  0.5\r\n  ),\r\n  nodes : table\r\n  (\r\n");
  const double pi = 3.141592653589793;
  for (long i = 0; i < n; ++i) {
    const double a = 2 * pi * static_cast<double>(i) / static_cast<double>(n);
    std::fprintf(f, "  %6ld  %.6E  %.6E\r\n", i + 1, 500 + 400 * std::cos(a), 600 + 300 * std::sin(a));
  }
  std::fprintf(f, "  ),\r\n  linear_segments : table\r\n  (\r\n");
  for (long i = 0; i < n; ++i) std::fprintf(f, "  %6ld  %6ld  %6ld  0  1  -1.0  0.0\r\n", i + 1, i + 1, (i + 1) % n + 1);
  std::fprintf(f, "  )\r\n)\r\n");
  std::fclose(f);
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 21;
  if (argc == 3 && std::string(argv[1]) == "--runs") runs = std::atoi(argv[2]);
  char dir_template[] = "/tmp/radomeview-bench-XXXXXX";
  const std::string dir = ::mkdtemp(dir_template);
  const std::string viewer = std::string(PROGRAMS_DIR) + "/radomeview";

  std::printf("radomeview on a .rsf file written by dishsurface, against rsf_floor (medians of %d runs each; ratio: the median over pairs of runs)\n", runs);
  std::printf("%8s %8s %8s %8s %8s %9s %9s %12s %12s %8s\n", "points", "file MB", "view s", "floor s", "ratio",
              "view cpu", "floor cpu", "view RSS", "floor RSS", "SVG KB");
  bool over = false;
  for (long points : {100000L, 1000000L}) {
    const std::string rsf = make_rsf(dir, points);
    std::vector<double> view_wall, view_cpu, floor_wall, floor_cpu, pair_ratio;
    long view_rss = 0, floor_rss = 0;
    for (int i = 0; i < runs; ++i) {
      const Run f = spawn({FLOOR_PATH, rsf}, dir, "");
      const Run v = spawn({viewer, "-q", rsf}, dir, "");
      // The count of a million points does not fit its four columns: one error, status 1.
      if (v.status != 1 || f.status != 0) die("unexpected status " + std::to_string(v.status));
      view_wall.push_back(v.wall);
      view_cpu.push_back(v.cpu);
      floor_wall.push_back(f.wall);
      floor_cpu.push_back(f.cpu);
      pair_ratio.push_back(v.wall / f.wall);
      view_rss = std::max(view_rss, v.maxrss_kib);
      floor_rss = std::max(floor_rss, f.maxrss_kib);
    }
    const double ratio = median(pair_ratio);
    const long svg = file_size(rsf + ".svg");
    std::printf("%8ld %8.1f %8.3f %8.3f %8.2f %9.3f %9.3f %8ld KiB %8ld KiB %8.1f\n", points,
                file_size(rsf) / 1048576.0, median(view_wall), median(floor_wall), ratio, median(view_cpu),
                median(floor_cpu), view_rss, floor_rss, svg / 1024.0);
    if (points == 1000000 && ratio > 2.0) over = true;
    if (svg > 2 * 1024 * 1024) over = true;
  }
  {
    const std::string tor = make_tor(dir, 100000);
    std::vector<double> view_wall, view_cpu, floor_wall, floor_cpu, pair_ratio;
    long view_rss = 0, floor_rss = 0;
    for (int i = 0; i < runs; ++i) {
      const Run f = spawn({FLOOR_PATH, tor}, dir, "");
      const Run v = spawn({viewer, "-q", tor}, dir, "");
      if (v.status != 0 || f.status != 0) die("unexpected status " + std::to_string(v.status) + " on the TOR file");
      view_wall.push_back(v.wall);
      view_cpu.push_back(v.cpu);
      floor_wall.push_back(f.wall);
      floor_cpu.push_back(f.cpu);
      pair_ratio.push_back(v.wall / f.wall);
      view_rss = std::max(view_rss, v.maxrss_kib);
      floor_rss = std::max(floor_rss, f.maxrss_kib);
    }
    const double ratio = median(pair_ratio);
    std::printf("\nradomeview on a TOR file of one bor_mesh, 100,000 nodes and 100,000 segments, against rsf_floor on its numbers\n");
    std::printf("%8s %8s %8s %8s %8s %9s %9s %12s %12s %8s\n", "nodes", "file MB", "view s", "floor s", "ratio",
                "view cpu", "floor cpu", "view RSS", "floor RSS", "SVG KB");
    std::printf("%8d %8.1f %8.3f %8.3f %8.2f %9.3f %9.3f %8ld KiB %8ld KiB %8.1f\n", 100000, file_size(tor) / 1048576.0,
                median(view_wall), median(floor_wall), ratio, median(view_cpu), median(floor_cpu), view_rss, floor_rss,
                file_size(tor + ".svg") / 1024.0);
    if (ratio > 3.0) {
      std::printf("OVER: radomeview takes more than three times the floor on the TOR file\n");
      over = true;
    }
  }
  std::string rm = "rm -rf " + dir;
  if (std::system(rm.c_str()) != 0) std::fprintf(stderr, "radomeview_bench: could not remove %s\n", dir.c_str());
  if (over) std::printf("OVER: radomeview is beyond its bound against the floor, or its picture of the .rsf file is above 2 MB\n");
  return over ? 1 : 0;
}
