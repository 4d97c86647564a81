#pragma once

#include <QString>

#include <memory>

#include "app/command_line.h"
#include "platform/screen_metrics.h"
#include "platform/settings_store.h"

namespace app {

class CMainFrame;

// The one object that lives as long as the process: it prepares the data home and its folders,
// opens the settings store and holds what the windows need to know of the program.
class VelmoraApp {
public:
    explicit VelmoraApp(StartOptions options);
    ~VelmoraApp();
    VelmoraApp(const VelmoraApp&) = delete;
    VelmoraApp& operator=(const VelmoraApp&) = delete;

    // Seconds a demo without a display runs when no --quit-after is given, and the spacing of
    // the pictures it writes.
    static constexpr double kHeadlessDemoSeconds = 60.0;
    static constexpr int kDemoScreenshotSeconds = 10;

    // The start-up routine. False when the program cannot run; the user has then been told why.
    bool Start();
    // Its first part: data home, folders, settings, XML library, build date, screen, the demo's
    // home and the GPS source.
    bool Prepare();
    // Its second part: the main frame created and shown, the POI icons, full-screen or normal
    // view, the first redraw request and the map window's two threads.
    bool StartFrame();

    const QString& programFolder() const { return programFolder_; }
    const QString& routesFolder() const { return routesFolder_; }
    const QString& mapsFolder() const { return mapsFolder_; }
    int buildYear() const { return buildYear_; }
    int buildDayNumber() const { return buildDayNumber_; }
    int largeScreen() const { return largeScreen_; }
    const platform::ScreenMetrics& screen() const { return screen_; }
    const StartOptions& options() const { return options_; }
    // Null until Start has opened it.
    platform::SettingsStore* settings() const { return settings_.get(); }

    // Null until Start has created it.
    CMainFrame* frame() const { return frame_.get(); }
    // Ends the program as Exit does: the frame closes and the event loop returns.
    void Exit();
    // Closes and destroys the frame (saving the last view); the event loop's end calls it.
    void DestroyFrame();

    // Set by a test to stand in for the compiler's build date.
    void SetBuildDateText(const char* text) { buildDateText_ = text; }

private:
    void InitialiseShell();
    void FindProgramFolder();
    void CreateFolders();
    void CompleteRouteFiles();
    void OpenSettings();
    void ChooseGpsSource();
    bool StartXml();
    void ReadBuildDate();
    void ReadScreen();
    bool PrepareDemo();
    void InstallImages();
    bool CreateFrame();
    void ShowFrame();
    void ScheduleQuit();
    void WriteScreenshot(const QString& path);
    void ScheduleDemoScreenshots();

    StartOptions options_;
    QString programFolder_;
    QString routesFolder_;
    QString mapsFolder_;
    int buildYear_ = 0;
    int buildDayNumber_ = 0;
    int largeScreen_ = 0;
    platform::ScreenMetrics screen_;
    std::unique_ptr<platform::SettingsStore> settings_;
    const char* buildDateText_;
    std::unique_ptr<CMainFrame> frame_;
};

using platform::LargeScreenFlag;

}  // namespace app
