// Bounded randomized runs: malformed list formats and popup texts, and a
// window pushed around by random user actions, must never crash or read
// out of bounds (the sanitizer build runs these too).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/window/list_format.h"
#include "runtime/window/popup_menu_text.h"
#include "tests/runtime/window/window_test_support.h"

namespace ledora::runtime {
namespace {

constexpr uint32_t kSeed = 20261207;

std::string Mutate(std::string text, std::mt19937& random) {
  static const std::string kAlphabet = "0123456789LRCD()|M~@[]_F/*?IJTPZSE#n-.s, x";
  std::uniform_int_distribution<int> pick(0, 3);
  int edits = 1 + pick(random);
  for (int i = 0; i < edits; ++i) {
    size_t at = text.empty() ? 0 : random() % (text.size() + 1);
    switch (pick(random)) {
      case 0:
        if (!text.empty() && at < text.size()) text.erase(at, 1 + random() % 3);
        break;
      case 1:
        text.insert(at, 1, kAlphabet[random() % kAlphabet.size()]);
        break;
      case 2:
        if (at < text.size()) text[at] = kAlphabet[random() % kAlphabet.size()];
        break;
      default:
        text = text.substr(0, at);
        break;
    }
  }
  return text;
}

TEST(RandomInputTest, MangledListFormatsParseOrFailCleanly) {
  std::mt19937 random(kSeed);
  const std::string seeds[] = {
      "45R(2)|M~Customer ID~C(0)@n-13@80L(2)|M~Name~@s35@",
      "60D(26)|M~Price~C(0)@n-13.2@60R|M~Sales amount~C@n-13.2@",
      "[20L_F~A~30R?~B~]|M~Both~C20L*Z(3)S(200)#5#",
  };
  int parsed = 0;
  for (int i = 0; i < 5000; ++i) {
    std::string text = Mutate(seeds[i % 3], random);
    ListFormat format;
    std::string error;
    if (ListFormat::Parse(text, &format, &error)) {
      ++parsed;
      for (const ListColumn& column : format.columns()) {
        EXPECT_GE(column.width, 0);
        EXPECT_LE(column.group, static_cast<int32_t>(format.groups().size()));
      }
    } else {
      EXPECT_FALSE(error.empty()) << text;
      EXPECT_TRUE(format.empty());
    }
  }
  EXPECT_GT(parsed, 0);
}

TEST(RandomInputTest, MangledPopupTextsGiveConsistentNumbers) {
  std::mt19937 random(kSeed);
  const std::string seed = "~&Insert|+Checked|-|Zoom{50%|[31848(~z.ico)]100%}|Last";
  for (int i = 0; i < 5000; ++i) {
    std::vector<PopupEntry> entries = ParsePopupMenu(Mutate(seed, random));
    int32_t expected = 0;
    for (const PopupEntry& entry : entries) {
      EXPECT_GE(entry.depth, 1);
      if (!entry.separator && !entry.submenu) {
        EXPECT_EQ(entry.number, ++expected);
      }
    }
  }
}

class RandomUserTest : public ::testing::Test, public WindowFixture {};

TEST_F(RandomUserTest, RandomActionsKeepTheWindowConsistent) {
  std::mt19937 random(kSeed);
  int32_t number = 0;
  char text[8] = "       ";
  Window& w = first.window;
  StartFirst();
  auto any = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const ControlType types[] = {ControlEntry, ControlList,  ControlCheck,  ControlButton,
                               ControlSheet, ControlTab,   ControlRadio,  ControlOption,
                               ControlSpin,  ControlCombo, ControlRegion, ControlMenuItem};
  for (int i = 0; i < 3000; ++i) {
    int32_t control = any(-2, 12);
    switch (any(0, 12)) {
      case 0:
        w.CreateControl(control, types[any(0, 11)], any(0, 12));
        break;
      case 1:
        w.DestroyControl(control);
        break;
      case 2: {
        std::vector<std::vector<std::string>> rows(any(0, 4),
                                                   std::vector<std::string>(any(0, 2), "r"));
        w.SetRows(control, rows);
        break;
      }
      case 3:
        w.SetSelection(control, any(-3, 8));
        break;
      case 4:
        w.UserChoseRow(control, any(-3, 8), any(0, 1) ? KeyMouseLeft : KeyMouseRightUp);
        break;
      case 5:
        w.UserKey(control, any(0, 1) ? KeyDown : KeyCtrlEnd);
        break;
      case 6:
        w.UserScroll(control, any(0, 25), any(-50, 150));
        break;
      case 7:
        w.UserTyped(control, any(0, 1) ? "12" : "abc");
        break;
      case 8:
        w.UserPressed(control);
        break;
      case 9:
        w.SetUse(control, any(0, 1) ? FieldRef::Of(number) : FieldRef::Of(text));
        w.SetPicture(control, any(0, 1) ? "@n3" : "@s4");
        break;
      case 10:
        w.Display();
        break;
      case 11:
        w.StartAcceptAll();
        break;
      default:
        w.SetImmediate(control, any(0, 1) == 1);
        break;
    }
    if (i % 50 == 0) driver.Settle();
  }
  driver.Settle();
  for (const auto& c : w.controls()) {
    EXPECT_GE(c->selection, 0);
    if (c->type == ControlList) {
      EXPECT_LE(c->selection, static_cast<int32_t>(c->rows.size()));
    }
  }
  EXPECT_TRUE(w.IsOpen());
}

}  // namespace
}  // namespace ledora::runtime
