// Random inserts, changes and deletes of numbered lines through a FileManager
// and its RelationController, checked against a plain map after every step.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <utility>

#include "data/error_reporter.h"
#include "data/file_manager.h"
#include "data/relation_controller.h"
#include "runtime/storage/sqlite_driver.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

#pragma pack(push, 1)
struct Line {
  int32_t HEAD;
  int32_t LINE;
  char TEXT[8];
};
#pragma pack(pop)

const runtime::RecordLayout& Layout() {
  static const runtime::RecordLayout layout("LIN", sizeof(Line),
                                            {{"LIN:HEAD", runtime::FieldLong, 0, 4, 0},
                                             {"LIN:LINE", runtime::FieldLong, 4, 4, 0},
                                             {"LIN:TEXT", runtime::FieldString, 8, 8, 0}});
  return layout;
}

using Model = std::map<std::pair<int32_t, int32_t>, std::string>;

std::string Clipped(const char (&text)[8]) {
  std::string value(text, sizeof text);
  return value.substr(0, value.find_last_not_of(' ') + 1);
}

void Fill(char (&text)[8], const std::string& value) {
  std::memset(text, ' ', sizeof text);
  std::memcpy(text, value.data(), std::min(value.size(), sizeof text));
}

class LinesUnderTest {
 public:
  explicit LinesUnderTest(const std::string& folder) {
    runtime::FileDeclaration declaration{"LINES", folder + "/LINES", &Layout(), &LIN, {}};
    runtime::KeyDeclaration key{"LIN:KEY", {{0}, {1}}, true, true, false, true};
    declaration.keys.push_back(key);
    file = driver.Declare(declaration);
    errors.Initialize();
    lines.Initialize(file.get(), &errors);
    lines.AddKey(0, "Line", 2);
    relations.Initialize(&lines, true);
    lines.Open();
  }
  ~LinesUnderTest() {
    lines.Close();
    relations.Shutdown();
    lines.Shutdown();
  }

  bool Read(int32_t head, int32_t line) {
    LIN.HEAD = head;
    LIN.LINE = line;
    return lines.Fetch(0) == 0;
  }

  // Every record in key order, as the model keeps them.
  Model Scan() {
    Model found;
    lines.ClearRecord();
    if (lines.SetOnKey(0) != 0) return found;
    while (lines.NextQuietly() == 0) found[{LIN.HEAD, LIN.LINE}] = Clipped(LIN.TEXT);
    return found;
  }

  Line LIN{};
  runtime::SqliteDriver driver;
  std::unique_ptr<runtime::DataFile> file;
  data::ErrorReporter errors;
  data::FileManager lines;
  data::RelationController relations;
};

int32_t NextNumber(const Model& model, int32_t head) {
  auto after = model.lower_bound({head + 1, 0});
  if (after == model.begin()) return 1;
  --after;
  return after->first.first == head ? after->first.second + 1 : 1;
}

TEST(FileManagerFuzzTest, RandomChangesKeepTheFileAndTheModelAlike) {
  TempFolder folder;
  ScriptedMessages messages;
  LinesUnderTest under(folder.path());
  Model model;
  std::mt19937 random(20261207);
  for (int step = 0; step < 250; ++step) {
    int32_t head = static_cast<int32_t>(random() % 4) + 1;
    std::string text = "t" + std::to_string(random() % 1000);
    int action = static_cast<int>(random() % 10);
    if (action < 5 || model.empty()) {
      bool prime = action % 2 == 0;
      if (prime) {
        under.LIN = {};
        under.LIN.HEAD = head;
        ASSERT_EQ(under.lines.PrimeRecord(true), 0);
      } else {
        under.lines.ClearRecord();
        under.LIN.HEAD = head;
      }
      Fill(under.LIN.TEXT, text);
      if (action == 4) {  // the user cancels the form
        if (prime) {
          ASSERT_EQ(under.relations.CancelAutoInc(), 0);
        }
        continue;
      }
      int32_t expected = NextNumber(model, head);
      ASSERT_EQ(under.lines.Insert(), 0) << "step " << step;
      ASSERT_EQ(under.LIN.LINE, expected) << "step " << step;
      model[{head, expected}] = text;
    } else {
      auto it = model.begin();
      std::advance(it, random() % model.size());
      ASSERT_TRUE(under.Read(it->first.first, it->first.second)) << "step " << step;
      if (action < 8) {
        Fill(under.LIN.TEXT, text);
        ASSERT_EQ(under.relations.Update(), 0) << "step " << step;
        it->second = text;
      } else {
        ASSERT_EQ(under.relations.Delete(false), 0) << "step " << step;
        model.erase(it);
      }
    }
    if (step % 50 == 49) {
      ASSERT_EQ(under.Scan(), model) << "step " << step;
    }
  }
  EXPECT_EQ(under.Scan(), model);
}

}  // namespace
}  // namespace ledora::testing
