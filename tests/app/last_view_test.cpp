#include "app/last_view.h"

#include <gtest/gtest.h>

#include "temp_home.h"

namespace app {
namespace {

namespace keys = platform::settings;

TEST(LastView, FirstStartOpensAtTheDefaultView) {
    TempHome home;
    const LastView view = ReadLastView(*platform::SettingsStore::OpenForHome(home.Path()));
    EXPECT_FLOAT_EQ(view.latitude, 41.164673f);
    EXPECT_FLOAT_EQ(view.longitude, 23.267757f);
    EXPECT_FLOAT_EQ(view.scaleKmPerCm, 0.485807f);
}

TEST(LastView, ScalesBelowTheLimitOpenAt07) {
    TempHome home;
    auto store = platform::SettingsStore::OpenForHome(home.Path());
    for (const char* stored : {"0.01", "0", "-3", "zoom"}) {
        store->Set(keys::kLastZoom, stored);
        EXPECT_FLOAT_EQ(ReadLastView(*store).scaleKmPerCm, 0.7f) << stored;
    }
    store->Set(keys::kLastZoom, "0.05");
    EXPECT_FLOAT_EQ(ReadLastView(*store).scaleKmPerCm, 0.05f);
}

TEST(LastView, CloseSavesNothingWithoutAPosition) {
    TempHome home;
    auto store = platform::SettingsStore::OpenForHome(home.Path());
    SaveLastViewOnClose(*store, 0.0, 23.5, 2.0f);
    EXPECT_EQ(store->Get(keys::kLastLat), "41.164673");
    EXPECT_EQ(store->Get(keys::kLastLon), "23.267757");
    EXPECT_EQ(store->Get(keys::kLastZoom), "0.485807");

    SaveLastViewOnClose(*store, 37.5, -122.25, 2.0f);
    EXPECT_EQ(store->Get(keys::kLastLat), "37.500000");
    EXPECT_EQ(store->Get(keys::kLastLon), "-122.250000");
    EXPECT_EQ(store->Get(keys::kLastZoom), "2.000000");
}

TEST(LastView, DestructionAlwaysSavesTheScale) {
    TempHome home;
    {
        auto store = platform::SettingsStore::OpenForHome(home.Path());
        SaveLastViewOnDestroy(*store, 0.0, 23.5, 1.25f);
    }
    auto store = platform::SettingsStore::OpenForHome(home.Path());
    EXPECT_EQ(store->Get(keys::kLastLat), "41.164673");
    EXPECT_EQ(store->Get(keys::kLastZoom), "1.250000");
    SaveLastViewOnDestroy(*store, -33.866665, 151.2, 0.5f);
    const LastView view = ReadLastView(*store);
    EXPECT_FLOAT_EQ(view.latitude, -33.866665f);
    EXPECT_FLOAT_EQ(view.longitude, 151.2f);
    EXPECT_FLOAT_EQ(view.scaleKmPerCm, 0.5f);
}

}  // namespace
}  // namespace app
