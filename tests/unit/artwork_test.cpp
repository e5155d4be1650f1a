// A smoke check of the shipped settings file; the skin checker run checks
// every shipped skin's files (see tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "settings/Settings.h"

namespace snickit {
namespace {

TEST(ShippedFiles, TheSettingsNameAShippedSkin) {
    const std::filesystem::path dist = std::filesystem::path(SNICKIT_SOURCE_DIR) / "dist";
    std::ostringstream config;
    config << std::ifstream(dist / "config.sn", std::ios::binary).rdbuf();
    const std::string skin = ParseSettings(config.str(), "config.sn").currentSkin;  // "Name\"
    const std::filesystem::path folder = dist / "skins" / skin.substr(0, skin.size() - 1);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "box.bmp")) << skin;
}

}  // namespace
}  // namespace snickit
