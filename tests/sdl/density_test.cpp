// The desktop's density as read from GDK_SCALE and the X resources.
#include <gtest/gtest.h>

#include "platform/sdl/DesktopDensity.h"

namespace snickit::sdl {
namespace {

TEST(SdlDensity, ReadsWholeScalesAndXftDpiAndRejectsTheRest) {
    const struct { const char* text; int scale; } scales[] = {
        {nullptr, 0}, {"", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"0", 0}, {"1.5", 0}, {"-2", 0}, {"2x", 0},
        {" 2", 0}, {"99999999999", 0},
    };
    for (const auto& row : scales) EXPECT_EQ(WholeScaleFromText(row.text), row.scale) << (row.text ? row.text : "null");
    const struct { const char* resources; int dotsPerInch; } resources[] = {
        {nullptr, 0},
        {"", 0},
        {"Xft.dpi:\t192\n", 192},
        {"Xft.antialias:\t1\nXft.dpi:\t144.4\nXft.hinting:\t1\n", 144},
        {"Xft.dpi: 120.5 \n", 121},
        {"*dpi:\t192\n", 192},  // as a wildcard matches it
        {"Xft.dpi:\t0\n", 0},
        {"Xft.dpi:\tlarge\n", 0},
        {"Xft.dpi:\t192dpi\n", 0},
        {"Xft.dpi:\t1e9\n", 0},
        {"Xcursor.size:\t48\n", 0},
    };
    for (const auto& row : resources)
        EXPECT_EQ(DotsPerInchFromResources(row.resources), row.dotsPerInch) << (row.resources ? row.resources : "null");
}

}  // namespace
}  // namespace snickit::sdl
