#include "tools/mrvtool/tool_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/disabled_compressions.h"
#include "viewer/view_geometry.h"

namespace {

struct Arguments {
  explicit Arguments(std::vector<std::string> list) : strings(std::move(list)) {
    for (std::string& s : strings) pointers.push_back(s.data());
  }
  int count() const { return static_cast<int>(pointers.size()); }
  std::vector<std::string> strings;
  std::vector<char*> pointers;
};

TEST(ToolSettings, OptionsAreTakenOutAndTheRestKeepsItsOrder) {
  Arguments args({"--out", "a.bmp", "--param", "orient=right", "file.tif", "--setting", "scalepct=200",
                  "--param", "href=http://x/?a=b", "--setting", "zoomloc=5,6"});
  ToolSettings settings;
  std::vector<char*> rest;
  std::string error;
  ASSERT_TRUE(ParseToolSettings(args.count(), args.pointers.data(), &settings, &rest, &error)) << error;
  ASSERT_EQ(rest.size(), 3u);
  EXPECT_STREQ(rest[0], "--out");
  EXPECT_STREQ(rest[2], "file.tif");
  ASSERT_EQ(settings.parameterNames.size(), 2u);
  EXPECT_EQ(settings.parameterNames[1], u"href");
  EXPECT_EQ(settings.parameterValues[1], u"http://x/?a=b");  // split at the first "="
  ASSERT_EQ(settings.settingValues.size(), 2u);
  EXPECT_EQ(settings.settingValues[0].type, kValueDword);
  EXPECT_EQ(settings.settingValues[1].type, kValueText);
}

TEST(ToolSettings, MalformedOptionsAreRefusedWithAReason) {
  for (std::vector<std::string> bad : {std::vector<std::string>{"--param"},
                                       {"--param", "orient"},
                                       {"--setting", "=3"},
                                       {"--setting", "scalepct=big"},
                                       {"--setting", "scalepct=99999999999"}}) {
    Arguments args(bad);
    ToolSettings settings;
    std::vector<char*> rest;
    std::string error;
    EXPECT_FALSE(ParseToolSettings(args.count(), args.pointers.data(), &settings, &rest, &error))
        << bad.back();
    EXPECT_FALSE(error.empty());
  }
}

TEST(ToolSettings, TheViewerSeesSettingsFirstAndParametersOverThem) {
  Arguments args({"--setting", "orientation=2", "--setting", "sizemode=0", "--setting", "scalepct=0x32",
                  "--setting", "disable_compression=7,32773", "--setting", "bgcolor=0xFF", "--param",
                  "orient=right", "--param", "negative=yes", "--param", "smooth=no"});
  ToolSettings settings;
  std::vector<char*> rest;
  std::string error;
  ASSERT_TRUE(ParseToolSettings(args.count(), args.pointers.data(), &settings, &rest, &error)) << error;
  ViewerInstance* viewer = nullptr;
  ASSERT_TRUE(CreateToolViewer(settings, &viewer));
  EXPECT_EQ(viewer->settings.orientation, kOrientRight);
  EXPECT_EQ(viewer->settings.negative, 1);
  EXPECT_EQ(viewer->settings.raster.resample, 0);
  EXPECT_EQ(viewer->settings.sizeMode, kSizeFixed);
  EXPECT_EQ(ScalePercent(viewer->settings.scaleIndex), 50);
  EXPECT_EQ(viewer->params.background, 0xFFu);
  EXPECT_TRUE(IsCompressionDisabled(32773));
  DestroyToolViewer(&viewer);
  EXPECT_EQ(viewer, nullptr);
  EXPECT_FALSE(IsCompressionDisabled(32773));
}

}  // namespace
