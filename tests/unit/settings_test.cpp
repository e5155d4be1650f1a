#include <gtest/gtest.h>

#include <cmath>

#include "platform/Platform.h"
#include "settings/Settings.h"

namespace snickit {
namespace {

TEST(SettingsLines, CrAndCrLfEndLinesALoneLfDoesNot) {
    EXPECT_EQ(SplitLines("a\r\nb\rc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nc\r\n"), (std::vector<std::string>{"a", "", "c"}));
    EXPECT_EQ(SplitLines("a\nb\nc\n"), (std::vector<std::string>{"a\nb\nc\n"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(SettingsNumberScan, ReadsTheLeadingNumberAndIgnoresTheRest) {
    EXPECT_EQ(ScanNumber(" 3000 "), 3000.0);
    EXPECT_EQ(ScanNumber("3000"), 3000.0);
    EXPECT_EQ(ScanNumber("1 500"), 1500.0);           // blanks dropped wherever they stand
    EXPECT_EQ(ScanNumber("\t-1\t50 "), -150.0);
    EXPECT_EQ(ScanNumber("12abc"), 12.0);
    EXPECT_EQ(ScanNumber("abc"), 0.0);
    EXPECT_EQ(ScanNumber(""), 0.0);
    EXPECT_EQ(ScanNumber(",5"), 0.0);
    EXPECT_EQ(ScanNumber("1,5"), 1.0);                 // only the point separates decimals
    EXPECT_EQ(ScanNumber("2.5"), 2.5);
    EXPECT_EQ(ScanNumber(" .5 "), 0.5);
    EXPECT_EQ(ScanNumber("+7"), 7.0);
    EXPECT_EQ(ScanNumber("1E+07"), 1e7);
    EXPECT_EQ(ScanNumber("1.5e3x"), 1500.0);
    EXPECT_EQ(ScanNumber("2e"), 2.0);                  // an exponent needs digits
    EXPECT_EQ(ScanNumber("2e+"), 2.0);
    EXPECT_EQ(ScanNumber("-"), 0.0);
    EXPECT_EQ(ScanNumber("."), 0.0);
    EXPECT_TRUE(std::isinf(ScanNumber("1e999")));
    EXPECT_EQ(ScanNumber("1e-999"), 0.0);
}

TEST(SettingsReader, TakesThreeLinesAndRoundsToSinglePrecision) {
    StoredSettings s = ParseSettings(" 3000 \r\n 1500 \r\nBlue\\\r\n", "config.sn");
    EXPECT_EQ(s.left, 3000.0f);
    EXPECT_EQ(s.top, 1500.0f);
    EXPECT_EQ(s.currentSkin, "Blue\\");

    // Hand-written without blanks, a fourth line, no final line end, blanks
    // kept in the skin name.
    s = ParseSettings("3000\r\n1500\r\n Blue \r\nextra", "config.sn");
    EXPECT_EQ(s.left, 3000.0f);
    EXPECT_EQ(s.currentSkin, " Blue ");

    s = ParseSettings("0.1\r\nx\r\nBlue", "config.sn");
    EXPECT_EQ(s.left, 0.1f);  // the double 0.1 rounded to single precision
    EXPECT_EQ(s.top, 0.0f);
    EXPECT_EQ(s.currentSkin, "Blue");

    // An empty third line is a line all the same.
    s = ParseSettings("1\r\n2\r\n\r\n", "config.sn");
    EXPECT_EQ(s.currentSkin, "");
}

TEST(SettingsReader, FewerThanThreeLinesIsInputPastTheEnd) {
    for (const char* content : {"", " 3000 \r\n 1500 \r\n", "3000\n1500\nBlue\\\n", "1\r2"}) {
        try {
            ParseSettings(content, "C:\\Snickit\\config.sn");
            ADD_FAILURE() << "no failure for " << content;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.kind(), FailureKind::InputPastEnd);
            EXPECT_EQ(failure.path(), "C:\\Snickit\\config.sn");
            EXPECT_NE(std::string(failure.what()).find("config.sn"), std::string::npos);
        }
    }
}

TEST(SettingsWriter, NumbersAsTheFileHoldsThem) {
    EXPECT_EQ(FormatNumber(3000.0f), " 3000 ");
    EXPECT_EQ(FormatNumber(1500.0f), " 1500 ");
    EXPECT_EQ(FormatNumber(-150.0f), "-150 ");
    EXPECT_EQ(FormatNumber(0.0f), " 0 ");
    EXPECT_EQ(FormatNumber(-0.0f), " 0 ");
    EXPECT_EQ(FormatNumber(0.5f), " .5 ");
    EXPECT_EQ(FormatNumber(-2.25f), "-2.25 ");
    EXPECT_EQ(FormatNumber(1234567.0f), " 1234567 ");
    EXPECT_EQ(FormatNumber(12345678.0f), " 1.234568E+07 ");
    EXPECT_EQ(FormatNumber(10000000.0f), " 1E+07 ");
    EXPECT_EQ(FormatNumber(3007.5f), " 3007.5 ");
    EXPECT_EQ(FormatNumber(0.001f), " .001 ");
    EXPECT_EQ(FormatNumber(0.00001f), " 1E-05 ");
    EXPECT_EQ(FormatNumber(1.0f / 3.0f), " .3333333 ");
}

TEST(SettingsWriter, WhatIsWrittenReadsBackTheSame) {
    for (float value : {3000.0f, -150.0f, 0.5f, 1.0f / 3.0f, 12345678.0f, 0.00001f, -7.125f, 1e30f, 15.0f * 1.2f}) {
        std::string file = FormatSettings({value, -value, "Blue\\"});
        StoredSettings back = ParseSettings(file, "config.sn");
        // Seven significant digits: at most half a unit in the seventh.
        EXPECT_NEAR(back.left, value, std::fabs(value) * 5e-7) << file;
        EXPECT_NEAR(back.top, -value, std::fabs(value) * 5e-7) << file;
        EXPECT_EQ(back.currentSkin, "Blue\\");
    }
    EXPECT_EQ(FormatSettings({3000.0f, 1500.0f, "Blue\\"}), " 3000 \r\n 1500 \r\nBlue\\\r\n");
}

}  // namespace
}  // namespace snickit
