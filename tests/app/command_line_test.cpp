#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

using app::parseCommandLine;

TEST(CommandLine, TheTextIsTheArgumentsJoinedBySingleBlanks) {
    const auto parsed = parseCommandLine({"3", "--source", "synthetic:5", "--fast"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.commandLineText, "3 --source synthetic:5 --fast");
    EXPECT_EQ(*parsed.options.source, "synthetic:5");
    EXPECT_TRUE(parsed.options.fast);
    EXPECT_EQ(parseCommandLine({}).options.commandLineText, "");
}

TEST(CommandLine, TheDriverIndexIsTheFirstNumberAsASixteenBitValue) {
    EXPECT_EQ(app::driverIndexOf(""), 0);
    EXPECT_EQ(app::driverIndexOf("--fast"), 0);
    EXPECT_EQ(app::driverIndexOf("3 more words"), 3);
    EXPECT_EQ(app::driverIndexOf("  -2"), -2);
    EXPECT_EQ(app::driverIndexOf("65535"), -1);
    EXPECT_EQ(app::driverIndexOf("65539"), 3);
}

TEST(CommandLine, OptionsTakeTheirValuesJoinedOrSeparate) {
    const auto parsed =
        parseCommandLine({"--run-for=2.5", "--snapshot", "w.png", "--fps", "30000/1001", "--headless"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_DOUBLE_EQ(*parsed.options.runForSeconds, 2.5);
    EXPECT_EQ(*parsed.options.snapshotPath, "w.png");
    EXPECT_EQ(parsed.options.frameRate->numerator, 30000);
    EXPECT_EQ(parsed.options.frameRate->denominator, 1001);
    EXPECT_TRUE(parsed.options.headless);

    const auto pictures = parseCommandLine(
        {"--picture-log", "--full-size", "--on-picture=./upload", "--filter", "crop=240:180:60:170"});
    ASSERT_EQ(pictures.error, "");
    EXPECT_TRUE(pictures.options.pictureLog);
    EXPECT_TRUE(pictures.options.fullSize);
    EXPECT_EQ(*pictures.options.onPicture, "./upload");
    EXPECT_EQ(*pictures.options.filter, "crop=240:180:60:170");
}

TEST(CommandLine, TheRoomToKeepFreeIsASizeWithItsUnit) {
    EXPECT_EQ(*parseCommandLine({"--keep-free", "16M"}).options.keepFreeBytes, 16 << 20);
    EXPECT_EQ(*parseCommandLine({"--keep-free=2g"}).options.keepFreeBytes, std::int64_t{2} << 30);
    EXPECT_EQ(*parseCommandLine({"--keep-free=3T"}).options.keepFreeBytes, std::int64_t{3} << 40);
    EXPECT_FALSE(parseCommandLine({"--fast"}).options.keepFreeBytes);
    for (const char* bad : {"500", "0M", "M", "1.5G", "-1G", "16MB", "", "99999999999999999999K"})
        EXPECT_NE(parseCommandLine({"--keep-free", bad}).error, "") << bad;
}

TEST(CommandLine, MalformedArgumentsAreErrors) {
    EXPECT_NE(parseCommandLine({"--fats"}).error, "");
    EXPECT_NE(parseCommandLine({"--run-for", "soon"}).error, "");
    EXPECT_NE(parseCommandLine({"--run-for", "-1"}).error, "");
    EXPECT_NE(parseCommandLine({"--fps", "0"}).error, "");
    EXPECT_NE(parseCommandLine({"--fps", "25/"}).error, "");
    EXPECT_NE(parseCommandLine({"--fps", "2.5"}).error, "");
    EXPECT_NE(parseCommandLine({"--source"}).error, "");
    EXPECT_NE(parseCommandLine({"--fast=yes"}).error, "");
    EXPECT_NE(parseCommandLine({"--on-picture="}).error, "");
    EXPECT_NE(parseCommandLine({"--filter"}).error, "");
    // A bare argument anywhere but first.
    EXPECT_NE(parseCommandLine({"--fast", "3"}).error, "");
    EXPECT_EQ(parseCommandLine({"-3", "--fast"}).error, "");
}

}  // namespace
