#include "app/command_line.h"

#include <gtest/gtest.h>

namespace app {
namespace {

CommandLineResult Parse(std::initializer_list<const char*> arguments) {
    QStringList list{QStringLiteral("velmora")};
    for (const char* argument : arguments) {
        list << QString::fromUtf8(argument);
    }
    return ParseCommandLine(list);
}

TEST(CommandLine, ReadsEveryOption) {
    const CommandLineResult result =
        Parse({"--home", "/tmp/h", "--gps", "replay:a.nmea?speed=0", "--screen", "240x320@53x71",
               "--demo", "--screenshot", "/tmp/s.png", "--quit-after", "2.5", "--sun-at",
               "2024-06-21T12:00"});
    ASSERT_TRUE(result.options);
    EXPECT_EQ(result.options->home, "/tmp/h");
    EXPECT_EQ(result.options->gpsUri, "replay:a.nmea?speed=0");
    ASSERT_TRUE(result.options->screen);
    EXPECT_EQ(result.options->screen->widthMm, 53);
    EXPECT_TRUE(result.options->demo);
    EXPECT_EQ(result.options->screenshotPath, "/tmp/s.png");
    EXPECT_EQ(result.options->quitAfterSeconds, 2.5);
    EXPECT_EQ(result.options->sunTimeUtc.toSecsSinceEpoch(), 1718971200);

    const CommandLineResult plain = Parse({});
    ASSERT_TRUE(plain.options);
    EXPECT_TRUE(plain.options->home.isEmpty());
    EXPECT_FALSE(plain.options->screen);
    EXPECT_FALSE(plain.options->demo);
    EXPECT_TRUE(plain.options->screenshotPath.isEmpty());
    EXPECT_FALSE(plain.options->quitAfterSeconds);
}

TEST(CommandLine, HelpAndVersionExitCleanly) {
    const CommandLineResult help = Parse({"--help"});
    EXPECT_FALSE(help.options);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.message.contains("--home"));
    EXPECT_TRUE(help.message.contains("--screen"));
    EXPECT_TRUE(help.message.contains("--screenshot"));
    EXPECT_TRUE(help.message.contains("--quit-after"));
    const CommandLineResult version = Parse({"--version"});
    EXPECT_FALSE(version.options);
    EXPECT_EQ(version.exitCode, 0);
}

TEST(CommandLine, MistakesGiveAnErrorAndExitCode2) {
    for (const auto& arguments :
         {std::initializer_list<const char*>{"--bogus"},
          std::initializer_list<const char*>{"--screen", "big"},
          std::initializer_list<const char*>{"--home"}, std::initializer_list<const char*>{"stray"},
          std::initializer_list<const char*>{"--quit-after", "soon"},
          std::initializer_list<const char*>{"--quit-after", "-1"}}) {
        const CommandLineResult result = Parse(arguments);
        EXPECT_FALSE(result.options);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_FALSE(result.message.isEmpty());
    }
}

}  // namespace
}  // namespace app
