// Design files in a fresh folder and a designer view that records what the
// model asked of it, for the layout tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/design_database.h"
#include "layout/designer_view.h"
#include "runtime/storage/sqlite_driver.h"
#include "tests/support/temp_folder.h"

namespace ledora::layout {

class RecordingView : public DesignerView {
 public:
  void SetScale(char scale) override;
  void SetPaperSize(int32_t width, int32_t height) override;
  void RemoveControl(int32_t number) override;
  void CreateControl(int32_t number, int16_t windowType) override;
  void Redraw() override;
  DesignerFont WindowFont() const override { return {"MS Sans Serif", 400, 8}; }

  std::vector<std::string> calls;
};

class DesignFiles {
 public:
  DesignFiles();
  ~DesignFiles();

  DesignDatabase& designs() { return designs_; }
  runtime::DataFile& File(DesignTable table) { return *designs_.File(table); }

  void AddType(int32_t number, const std::string& name, int32_t standardDesign = 0);
  void AddBand(int32_t type, uint8_t detail, const std::string& name, int32_t x = 0, int32_t y = 0,
               int32_t width = 0, int32_t height = 0);
  void AddDesign(int32_t number, int32_t type, const std::string& name);
  // Content records of a design in sequence order.
  std::vector<ContentRecord> Contents(int32_t design);
  void AddContent(const ContentRecord& record);

 private:
  testing::TempFolder folder_;
  runtime::SqliteDriver driver_;
  DesignDatabase designs_;
};

// A content record with its data area cleared to blanks.
ContentRecord BlankContent(int32_t design, int32_t sequence, char type, uint8_t kind);
void PutLong(ContentRecord& record, int offset, int32_t value);
void PutText(ContentRecord& record, int offset, int width, const std::string& text);

}  // namespace ledora::layout
