// The vlmake tool run as users run it: its errors, its progress and summary, and maps that
// vlinfo and the catalogue recognise.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "temp_home.h"
#include "tool_run.h"

namespace {

const QString kSmallExtract = QStringLiteral(MAPMAKE_TEST_DATA "/small_extract.osm");

ToolRun Vlmake(const QStringList& arguments) {
    return RunTool(VLMAKE_PATH, arguments, 120000);
}

TEST(VlmakeTool, FailsWithOneLineAndExitCodeOne) {
    TempHome home;
    ASSERT_TRUE(home.Write("notes.txt", "no map"));
    ASSERT_TRUE(home.Write("file", "a file where a folder should be"));
    const QStringList cases[] = {
        {home.File("missing.osm.pbf"), home.File("out")},
        {home.File("notes.txt"), home.File("out")},
        {kSmallExtract, home.File("file/out")},
    };
    for (const QStringList& arguments : cases) {
        const ToolRun run = Vlmake(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("vlmake: ")) << run.err.constData();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_EQ(Vlmake({kSmallExtract}).exitCode, 2);
    EXPECT_EQ(Vlmake({kSmallExtract, home.File("out"), "--tile-mb", "none"}).exitCode, 2);
}

TEST(VlmakeTool, HelpNamesItsOptions) {
    const ToolRun run = Vlmake({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option : {"--name", "--tile-mb", "--quiet", "--demo"}) {
        EXPECT_TRUE(run.out.contains(option)) << option;
    }
}

TEST(VlmakeTool, ShowsProgressUnlessQuietAndSumsUp) {
    TempHome home;
    const ToolRun run = Vlmake({kSmallExtract, home.File("Maps"), "--name", "Small"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.contains("nodes and ways")) << run.err.constData();
    EXPECT_TRUE(run.err.contains("100%"));
    for (const char* part : {"wrote 3 files", "SmallCountry.vl", "Small/Small_0_0.vl",
                             "objects per level: 24:", "time "}) {
        EXPECT_TRUE(run.out.contains(part)) << part << "\n" << run.out.constData();
    }
    const ToolRun quiet = Vlmake({kSmallExtract, home.File("Maps"), "--name", "Small", "--quiet"});
    ASSERT_EQ(quiet.exitCode, 0);
    EXPECT_TRUE(quiet.err.isEmpty()) << quiet.err.constData();
    EXPECT_TRUE(quiet.out.contains("wrote 3 files"));

    const ToolRun info =
        RunTool(VLINFO_PATH, {"--catalogue", home.Path(), "--at", "42.5,1.5", "--json"});
    ASSERT_EQ(info.exitCode, 0) << info.err.constData();
    const QJsonObject catalogue = QJsonDocument::fromJson(info.out).object();
    EXPECT_EQ(catalogue["country"].toString(), home.File("Maps/SmallCountry.vl"));
    EXPECT_EQ(catalogue["at"].toInt(), 0);
}

TEST(VlmakeTool, NamesTheMapsAfterTheInputByDefault) {
    TempHome home;
    const ToolRun run = Vlmake({kSmallExtract, home.Path(), "--quiet"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.contains("small_extractCountry.vl")) << run.out.constData();
    EXPECT_TRUE(run.out.contains("small_extract/small_extract_0_0.vl"));
}

}  // namespace
