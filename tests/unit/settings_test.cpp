// The settings file's lines and numbers, read and written.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "platform/Platform.h"
#include "settings/Settings.h"
#include "skin/SkinPaths.h"

namespace snickit {
namespace {

TEST(Settings, TheReaderTakesThreeCrOrCrLfLines) {
    // skin nullptr: fewer than three lines. (Start-up's failure table has
    // the two-line file and those with a zero byte.)
    const struct { std::string_view content; float left, top; const char* skin; } kRows[] = {
        {" 3000 \r\n 1500 \r\nBlue\\\r\n", 3000, 1500, "Blue\\"},
        {"3000\r\n1500\r\n Blue \r\nextra", 3000, 1500, " Blue "},  // blanks kept, a fourth line ignored
        {"1\r2\rB\nC", 1, 2, "B\nC"},  // CR alone ends a line, LF does not; the last needs no end
        {"1\r\n2\r\n\r\n", 1, 2, ""},
        // UTF-8 kept; any other text is Windows-1252 (its undefined bytes as
        // the control characters of their value)
        {"1\r2\r\xF0\x9F\x8E\xB5 Caf\xC3\xA9", 1, 2, "\xF0\x9F\x8E\xB5 Caf\xC3\xA9"},
        {"1\r2\rGr\xFCn \x80\x8A\x9F\x81\\", 1, 2, "Gr\xC3\xBCn \xE2\x82\xAC\xC5\xA0\xC5\xB8\xC2\x81\\"},
        {"1\r2\r\xC0\xAF", 1, 2, "\xC3\x80\xC2\xAF"},                                    // overlong '/'
        {"1\r2\r\xED\xA0\x80", 1, 2, "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},                    // a surrogate
        {"1\r2\r\xF4\x90\x80\x80", 1, 2, "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},  // above U+10FFFF
        {"1\r2\r\xE2\x82", 1, 2, "\xC3\xA2\xE2\x80\x9A"},                               // cut short
        {"", 0, 0, nullptr},
    };
    for (const auto& row : kRows) {
        try {
            const StoredSettings s = ParseSettings(row.content, "C:\\S\\config.sn");
            EXPECT_EQ(std::tuple(s.left, s.top, s.currentSkin),
                      std::tuple(row.left, row.top, std::string(row.skin ? row.skin : "(a failure)"))) << row.content;
        } catch (const Failure& failure) {
            EXPECT_EQ(std::tuple(row.skin == nullptr, failure.kind(), failure.path()),
                      std::tuple(true, FailureKind::InputPastEnd, std::string("C:\\S\\config.sn"))) << row.content;
        }
    }
}

// The numbers config.sn holds: what start-up and quit (the screens' density
// table) leave unchecked, each row a slip of its own.
TEST(Settings, NumbersAreReadAndWrittenWithSevenDigits) {
    const std::pair<const char*, double> kScanned[] = {
        {"\t-1\t50 ", -150}, {" .5 ", 0.5}, {"-1.234568E+07", -12345680}, {"1E-05", 1e-5}, {"1e-999", 0}, {"1e999", INFINITY}};
    for (const auto& [text, value] : kScanned) EXPECT_EQ(ScanNumber(text), value) << text;
    const std::pair<float, const char*> kWritten[] = {
        {-0.0f, " 0 "}, {0.001f, " .001 "}, {1234567, " 1234567 "}, {12345678, " 1.234568E+07 "}, {0.00001f, " 1E-05 "}};
    for (const auto& [value, text] : kWritten) EXPECT_EQ(FormatNumber(value), text) << value;
}

TEST(Settings, SkinNamesStayInTheSkinsFolderAndSurviveTheFile) {
    // Line 3 or a folder's name; whether line 3 stays in the skins folder;
    // whether a folder of that name is offered as a skin.
    const struct { std::string_view name; bool stays, offered; } kRows[] = {
        {"Blue", true, true},       {"Caf\xC3\xA9", true, true}, {"ab:c", true, true},      {"a?b*", true, true},
        {".Blue", true, true},      {"Blue\\", true, false},    {"", true, false},         {"a\rb", true, false},
        {"a\x7F", true, false},     {"Caf\xE9", true, false},    {"..\\", false, false},    {"..", false, false},
        {".", false, false},        {"\\", false, false},       {"Blue/x\\", false, false}, {"a\\b", false, false},
        {"/etc\\", false, false},  {"C:\\", false, false},     {"c:Blue", false, false},  {"a:b", false, false},
    };
    for (const auto& row : kRows)
        EXPECT_EQ(std::pair(StaysInSkinsFolder(row.name), SurvivesSettingsFile(row.name)), std::pair(row.stays, row.offered))
            << row.name;
}

}  // namespace
}  // namespace snickit
