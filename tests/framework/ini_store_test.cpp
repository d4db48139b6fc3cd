#include "framework/ini_store.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "runtime/window/headless_presenter.h"
#include "tests/runtime/storage/child_process.h"
#include "tests/support/temp_folder.h"

namespace ledora::framework {
namespace {

class FakeWindow : public PlacementWindow {
 public:
  bool minimized = false, maximized = false, resizable = true;
  int32_t x = 10, y = 20, width = 300, height = 200;

  bool IsMinimized() const override { return minimized; }
  bool IsMaximized() const override { return maximized; }
  bool IsResizable() const override { return resizable; }
  void GetPosition(int32_t* px, int32_t* py) const override { *px = x, *py = y; }
  void SetPosition(int32_t px, int32_t py) override { x = px, y = py; }
  void GetSize(int32_t* w, int32_t* h) const override { *w = width, *h = height; }
  void SetSize(int32_t w, int32_t h) override { width = w, height = h; }
  void SetMaximized(bool m) override { maximized = m; }
};

class IniStoreTest : public ::testing::Test {
 protected:
  IniStoreTest() { store_.Setup(folder_.File("ledora.INI")); }

  std::string FileBytes() const {
    std::ifstream in(store_.FILENAME, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  testing::TempFolder folder_;
  IniStore store_;
};

TEST_F(IniStoreTest, MissingKeyOrFileReadsAsUnknown) {
  EXPECT_EQ(store_.ReadValue("S", "K"), "---Unknown---");
  ASSERT_EQ(store_.WriteValue("S", "K", "v"), runtime::IniOk);
  EXPECT_EQ(store_.ReadValue("S", "Other"), "---Unknown---");
  EXPECT_EQ(store_.ReadValue("s", "k"), "v");
}

TEST_F(IniStoreTest, StoreWithoutAFileNameWritesNothing) {
  IniStore unset;
  EXPECT_EQ(unset.WriteValue("S", "K", "v"), runtime::IniWriteFailed);
  EXPECT_EQ(unset.ReadValue("S", "K"), "---Unknown---");
}

TEST_F(IniStoreTest, VariableIsAssignedOnlyWhenTheKeyExists) {
  ASSERT_EQ(store_.WriteValue("S", "Count", 42), runtime::IniOk);
  ASSERT_EQ(store_.WriteValue("S", "Name", "Smith"), runtime::IniOk);
  int32_t count = 7;
  char name[8] = "xxxxxxx";
  EXPECT_TRUE(store_.ReadValue("S", "Count", runtime::FieldRef::Of(count)));
  EXPECT_EQ(count, 42);
  EXPECT_TRUE(store_.ReadValue("S", "Name", runtime::FieldRef::Of(name)));
  EXPECT_EQ(std::string(name, 8), "Smith   ");
  EXPECT_FALSE(store_.ReadValue("S", "Missing", runtime::FieldRef::Of(count)));
  EXPECT_EQ(count, 42);
}

TEST_F(IniStoreTest, NormalResizableWindowStoresAllKeys) {
  FakeWindow window;
  ASSERT_EQ(store_.StoreWindowPlacement("_PreviewWindow_", window), runtime::IniOk);
  EXPECT_EQ(FileBytes(),
            "[_PreviewWindow_]\nMaximize=No\nXPos=10\nYPos=20\nHeight=200\nWidth=300\n");
}

TEST_F(IniStoreTest, EachScreenSizeGetsBackThePlacementLeftOnIt) {
  runtime::HeadlessPresenter screen;
  FakeWindow window;
  auto leaveAt = [&](runtime::ScreenArea size, int32_t x) {
    screen.SetScreenSize(size);
    window.x = x;
    ASSERT_EQ(store_.StoreWindowPlacement("Main", window), runtime::IniOk);
  };
  leaveAt({1920, 1200}, 900);
  leaveAt({1024, 768}, 40);
  EXPECT_EQ(store_.ReadValue("Main", "XPos"), "40") << "the last place stays where it was";
  auto openOn = [&](runtime::ScreenArea size) {
    screen.SetScreenSize(size);
    FakeWindow reopened;
    store_.RestoreWindowPlacement("Main", reopened);
    return reopened.x;
  };
  EXPECT_EQ(openOn({1920, 1200}), 900);
  EXPECT_EQ(openOn({1024, 768}), 40);
  EXPECT_EQ(openOn({1280, 1024}), 40) << "a screen of a new size starts from the last place";
}

TEST_F(IniStoreTest, MinimisedWindowKeepsThePreviousPlacement) {
  FakeWindow window;
  ASSERT_EQ(store_.StoreWindowPlacement("W", window), runtime::IniOk);
  std::string before = FileBytes();
  window.minimized = true;
  window.x = 999;
  EXPECT_EQ(store_.StoreWindowPlacement("W", window), runtime::IniOk);
  EXPECT_EQ(FileBytes(), before);
}

TEST_F(IniStoreTest, MaximisedWindowStoresOnlyMaximize) {
  FakeWindow window;
  ASSERT_EQ(store_.StoreWindowPlacement("W", window), runtime::IniOk);
  window.maximized = true;
  window.x = 0, window.width = 1920;
  ASSERT_EQ(store_.StoreWindowPlacement("W", window), runtime::IniOk);
  EXPECT_EQ(FileBytes(), "[W]\nMaximize=Yes\nXPos=10\nYPos=20\nHeight=200\nWidth=300\n");
}

TEST_F(IniStoreTest, FixedSizeWindowNeverStoresItsSize) {
  FakeWindow window;
  window.resizable = false;
  ASSERT_EQ(store_.StoreWindowPlacement("W", window), runtime::IniOk);
  EXPECT_EQ(store_.ReadValue("W", "Width"), "---Unknown---");
  EXPECT_EQ(store_.ReadValue("W", "Height"), "---Unknown---");
  EXPECT_EQ(store_.ReadValue("W", "XPos"), "10");
}

TEST_F(IniStoreTest, StoringKeepsOtherSettingsLinesAsTheyWere) {
  ASSERT_EQ(store_.WriteValue("Other", "Key", "  spaced  "), runtime::IniOk);
  FakeWindow window;
  ASSERT_EQ(store_.StoreWindowPlacement("W", window), runtime::IniOk);
  EXPECT_TRUE(FileBytes().starts_with("[Other]\nKey=  spaced  \n[W]\n"));
}

TEST_F(IniStoreTest, PlacementReturnsInANewRun) {
  FakeWindow stored;
  stored.x = 33, stored.y = 44, stored.width = 640, stored.height = 480;
  ASSERT_EQ(store_.StoreWindowPlacement("W", stored), runtime::IniOk);
  IniStore nextRun;
  nextRun.Setup(store_.FILENAME);
  FakeWindow restored;
  restored.maximized = true;
  nextRun.RestoreWindowPlacement("w", restored);
  EXPECT_EQ(restored.x, 33);
  EXPECT_EQ(restored.y, 44);
  EXPECT_EQ(restored.width, 640);
  EXPECT_EQ(restored.height, 480);
  EXPECT_FALSE(restored.maximized);
}

TEST_F(IniStoreTest, WithoutStoredPositionTheDesignedPlacementStays) {
  ASSERT_EQ(store_.WriteValue("W", "Maximize", "Yes"), runtime::IniOk);
  ASSERT_EQ(store_.WriteValue("W", "Width", 50), runtime::IniOk);
  FakeWindow window;
  store_.RestoreWindowPlacement("W", window);
  EXPECT_EQ(window.x, 10);
  EXPECT_EQ(window.width, 300);
  EXPECT_TRUE(window.maximized);
}

TEST_F(IniStoreTest, FixedSizeWindowIgnoresAStoredSize) {
  ASSERT_EQ(store_.WriteValue("W", "XPos", 5), runtime::IniOk);
  ASSERT_EQ(store_.WriteValue("W", "Width", 50), runtime::IniOk);
  FakeWindow window;
  window.resizable = false;
  store_.RestoreWindowPlacement("W", window);
  EXPECT_EQ(window.x, 5);
  EXPECT_EQ(window.y, 20);
  EXPECT_EQ(window.width, 300);
}

TEST_F(IniStoreTest, DamagedValuesDoNotMisplaceTheWindow) {
  ASSERT_EQ(store_.WriteValue("W", "XPos", "12abc"), runtime::IniOk);
  FakeWindow window;
  store_.RestoreWindowPlacement("W", window);
  EXPECT_EQ(window.x, 10);

  ASSERT_EQ(store_.WriteValue("W", "XPos", "-40"), runtime::IniOk);
  ASSERT_EQ(store_.WriteValue("W", "YPos", ""), runtime::IniOk);
  ASSERT_EQ(store_.WriteValue("W", "Width", "0"), runtime::IniOk);
  ASSERT_EQ(store_.WriteValue("W", "Height", "99999999999"), runtime::IniOk);
  store_.RestoreWindowPlacement("W", window);
  EXPECT_EQ(window.x, -40);
  EXPECT_EQ(window.y, 20);
  EXPECT_EQ(window.width, 300);
  EXPECT_EQ(window.height, 200);
}

// Two stations closing windows at once: each one's placement and plain
// values survive the other's writes.
TEST_F(IniStoreTest, PlacementsOfTwoStationsClosingAtOnceBothSurvive) {
  constexpr int kStations = 2, kCloses = 15;
  testing::Gate gate;
  ASSERT_TRUE(gate.ok());
  std::vector<std::unique_ptr<testing::ChildProcess>> stations;
  for (int station = 0; station < kStations; ++station) {
    stations.push_back(std::make_unique<testing::ChildProcess>([&, station](const auto& ready) {
      IniStore store;
      store.Setup(store_.FILENAME);
      ready();
      gate.Pass();
      FakeWindow window;
      for (int close = 0; close < kCloses; ++close) {
        std::string section = "Window" + std::to_string(station) + "_" + std::to_string(close);
        window.x = close;
        if (store.StoreWindowPlacement(section, window) != runtime::IniOk) return 1;
        if (store.WriteValue("Counts", "Station" + std::to_string(station), close + 1) !=
            runtime::IniOk) {
          return 1;
        }
      }
      return 0;
    }));
    ASSERT_TRUE(stations.back()->WaitReady());
  }
  gate.Open(kStations);
  for (auto& station : stations) ASSERT_EQ(station->Wait(), 0);

  for (int station = 0; station < kStations; ++station) {
    EXPECT_EQ(store_.ReadValue("Counts", "Station" + std::to_string(station)),
              std::to_string(kCloses));
    for (int close = 0; close < kCloses; ++close) {
      FakeWindow restored;
      restored.x = -1, restored.width = 1;
      store_.RestoreWindowPlacement(
          "Window" + std::to_string(station) + "_" + std::to_string(close), restored);
      EXPECT_EQ(restored.x, close) << station;
      EXPECT_EQ(restored.width, 300) << station;
    }
  }
}

}  // namespace
}  // namespace ledora::framework
