// A smoke check of what ships beside the executable; the skin checker
// checks the files themselves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "settings/Settings.h"

namespace snickit {
namespace {

TEST(ShippedFiles, EverySkinHasItsSevenFilesAndTheSettingsNameOne) {
    const std::filesystem::path dist = std::filesystem::path(SNICKIT_SOURCE_DIR) / "dist";
    std::set<std::string> skins;
    for (const auto& skin : std::filesystem::directory_iterator(dist / "skins")) {
        skins.insert(skin.path().filename().string() + "\\");
        for (const char* file : {"box.bmp", "box2.bmp", "menu.bmp", "1.wav", "2.wav", "3.wav", "4.wav"})
            EXPECT_TRUE(std::filesystem::is_regular_file(skin.path() / file)) << skin.path() << " " << file;
    }
    std::ostringstream config;
    config << std::ifstream(dist / "config.sn", std::ios::binary).rdbuf();
    EXPECT_EQ(skins.count(ParseSettings(config.str(), "config.sn").currentSkin), 1u);
}

}  // namespace
}  // namespace snickit
