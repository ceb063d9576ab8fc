// The picture of many points stays small: the worst case, points that jump
// about at random, still gives at most 2 MB.
#include <gtest/gtest.h>

#include <string>

#include "radomeview/report.h"

namespace radomeview {
namespace {

TEST(Picture, BoundedWhateverThePoints) {
  const struct {
    const char* what;
    int points;
    bool noise;
  } cases[] = {{"a smooth curve", 300000, false}, {"noise", 300000, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = "          " + std::to_string(c.points) + "\r\n";
    unsigned state = 12345;
    for (int i = 0; i < c.points; ++i) {
      state = state * 1103515245u + 12345u;
      const double y = c.noise ? (state >> 8) % 100000 / 1000.0 : i * 1e-5 * i * 1e-5;
      bytes += "  " + std::to_string(i * 1e-3) + "  " + std::to_string(y) + "\r\n";
    }
    MemorySource source(bytes);
    FileReport r;
    ASSERT_TRUE(check_file(source, "many.dat", Kind::points, &r));
    EXPECT_EQ(r.findings.errors(), 0u);
    EXPECT_LE(r.curve()->path.size(), Curve::kPathCap);
    EXPECT_TRUE(r.curve()->points.empty()) << "no markers beyond " << Curve::kMarkers << " points";
    std::string svg;
    draw(r, DrawOptions{}, &svg);
    EXPECT_LE(svg.size(), 2u * 1024 * 1024);
    if (!c.noise) {
      EXPECT_LT(svg.size(), 64u * 1024) << "a smooth curve needs few vertices";
    }
  }
}

}  // namespace
}  // namespace radomeview
