// Design files in a temporary folder, the designer's texts and a headless
// screen: the ground the designer's dialog tests stand on.
#pragma once

#include <gtest/gtest.h>

#include "designer/designer_text_table.h"
#include "layout/design_database.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/window/headless_driver.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::designer {

class DesignerFixture : public ::testing::Test {
 protected:
  DesignerFixture() : designs(storage) {
    DesignerTexts().Load();
    designs.DefinitionsFile = folder.File("RptDes1.KDS");
    designs.DesignsFile = folder.File("NewRpt.KDS");
    designs.BuildTableNames();
  }

  testing::TempFolder folder;
  runtime::SqliteDriver storage;
  layout::DesignDatabase designs;
  runtime::Scheduler scheduler;
  runtime::HeadlessPresenter presenter;
  runtime::HeadlessDriver driver{scheduler, presenter};
  testing::ScriptedMessages messages;
};

}  // namespace ledora::designer
