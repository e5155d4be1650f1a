// The settings file's lines and numbers, read and written.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "platform/Platform.h"
#include "settings/Settings.h"

namespace snickit {
namespace {

TEST(Settings, TheReaderTakesThreeCrOrCrLfLines) {
    // skin nullptr: fewer than three lines.
    const struct { const char* content; float left, top; const char* skin; } kRows[] = {
        {" 3000 \r\n 1500 \r\nBlue\\\r\n", 3000, 1500, "Blue\\"},
        {"3000\r\n1500\r\n Blue \r\nextra", 3000, 1500, " Blue "},  // blanks kept, a fourth line ignored
        {"0.1\r\nx\r\nBlue", 0.1f, 0, "Blue"},                      // rounded to single precision
        {"1\r2\rB\nC\r", 1, 2, "B\nC"},                              // CR alone ends a line, LF does not
        {"1\r\n2\r\n\r\n", 1, 2, ""},
        {"", 0, 0, nullptr},
        {" 3000 \r\n 1500 \r\n", 0, 0, nullptr},
        {"3000\n1500\nBlue\\\n", 0, 0, nullptr},
        {"1\r2", 0, 0, nullptr},
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

TEST(Settings, TheNumberScanReadsTheLeadingNumber) {
    const std::pair<const char*, double> kRows[] = {
        {" 3000 ", 3000}, {"1 500", 1500}, {"\t-1\t50 ", -150}, {"12abc", 12}, {"abc", 0},  {"", 0},
        {",5", 0},        {"1,5", 1},      {"2.5", 2.5},        {" .5 ", 0.5}, {"+7", 7},   {"1E+07", 1e7},
        {"1.5e3x", 1500}, {"2e", 2},       {"2e+", 2},          {"-", 0},      {".", 0},    {"1e-999", 0},
        {"1e999", INFINITY}, {"1E-05", 1e-5}, {"-1.234568E+07", -12345680},
    };
    for (const auto& [text, value] : kRows) EXPECT_EQ(ScanNumber(text), value) << text;
}

TEST(Settings, TheWriterWritesSevenDigitsBetweenABlankOrMinusAndABlank) {
    const std::pair<float, const char*> kRows[] = {
        {3000, " 3000 "},         {-150, "-150 "},         {0, " 0 "},       {-0.0f, " 0 "},
        {0.5f, " .5 "},           {-2.25f, "-2.25 "},      {1234567, " 1234567 "},
        {12345678, " 1.234568E+07 "}, {1e7f, " 1E+07 "},   {3007.5f, " 3007.5 "},
        {0.001f, " .001 "},       {0.00001f, " 1E-05 "},   {1.0f / 3, " .3333333 "},
    };
    for (const auto& [value, text] : kRows) EXPECT_EQ(FormatNumber(value), text) << value;
}

}  // namespace
}  // namespace snickit
