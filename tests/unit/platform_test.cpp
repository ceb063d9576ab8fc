// The platform file under the layer, through its interface only, so that the
// same cases run against the POSIX file natively and the Windows file under
// Wine: the open-always rule, the failure kinds the layer turns into
// messages, the error text, and cutting a file where it is written to.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "textio/platform.h"

namespace fs = std::filesystem;
namespace platform = textio::platform;

namespace {

class Platform : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("platform-test-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  std::string content(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path dir_;
};

TEST_F(Platform, OpenAlwaysCreatesOrKeeps) {
  platform::Error err;
  platform::Opened created = platform::open_always(path("new.txt").c_str(), &err);
  ASSERT_NE(created.handle, platform::kNoHandle);
  EXPECT_EQ(created.access, platform::Access::read_write);
  EXPECT_EQ(platform::kind_of(created.handle), platform::FileKind::disk);
  EXPECT_EQ(platform::write(created.handle, "abcdef", 6, &err), 6);
  EXPECT_EQ(platform::position(created.handle), 6);
  ASSERT_TRUE(platform::close(created.handle, &err));
  EXPECT_EQ(content("new.txt"), "abcdef");

  // An existing file opens unchanged, at its beginning.
  platform::Opened again = platform::open_always(path("new.txt").c_str(), &err);
  ASSERT_NE(again.handle, platform::kNoHandle);
  EXPECT_EQ(platform::position(again.handle), 0);
  char buf[16];
  EXPECT_EQ(platform::read(again.handle, buf, sizeof buf, &err), 6);
  EXPECT_EQ(std::string(buf, 6), "abcdef");
  EXPECT_EQ(platform::read(again.handle, buf, sizeof buf, &err), 0);

  // Cut where the position is: after the record written over the start.
  ASSERT_TRUE(platform::seek(again.handle, 0));
  EXPECT_EQ(platform::write(again.handle, "XY", 2, &err), 2);
  ASSERT_TRUE(platform::set_end_of_file(again.handle, &err));
  ASSERT_TRUE(platform::close(again.handle, &err));
  EXPECT_EQ(content("new.txt"), "XY");
}

TEST_F(Platform, FailedOpensByKind) {
  fs::create_directories(dir_ / "sub");
  struct {
    std::string name;
    platform::ErrorKind kind;
  } cases[] = {
      {path("missing/x.txt"), platform::ErrorKind::not_found},
      {path("sub"), platform::ErrorKind::access},
  };
  for (const auto& c : cases) {
    platform::Error err;
    const platform::Opened o = platform::open_always(c.name.c_str(), &err);
    EXPECT_EQ(o.handle, platform::kNoHandle) << c.name;
    EXPECT_EQ(err.kind, c.kind) << c.name;
    EXPECT_NE(err.code, 0) << c.name;
    // The text goes on a line of its own: no line end of the system's.
    const std::string text = platform::error_text(err.code);
    EXPECT_FALSE(text.empty()) << c.name;
    EXPECT_TRUE(text.find_first_of("\r\n") == std::string::npos) << c.name << ": " << text;
  }
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(Platform, NullDeviceReadsEmptyAndTakesWrites) {
  platform::Error err;
  const platform::Handle h = platform::open_null_device(&err);
  ASSERT_NE(h, platform::kNoHandle);
  EXPECT_EQ(platform::kind_of(h), platform::FileKind::character);
  char c;
  EXPECT_EQ(platform::read(h, &c, 1, &err), 0);
  EXPECT_EQ(platform::write(h, "gone", 4, &err), 4);
  EXPECT_TRUE(platform::close(h, &err));
}

#ifdef _WIN32
TEST(PlatformText, CodeWithoutTextGetsTheFallbackLine) {
  EXPECT_STREQ(platform::error_text(0x2000FFFF), "FormatMessage failed for sysmem message number 536936447");
}
#endif

}  // namespace
