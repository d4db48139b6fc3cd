#include "designer/update_window.h"

#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"

namespace ledora::designer {

layout::TransferTexts TransferTextsFromTable() {
  layout::TransferTexts texts;
  auto take = [](std::string& slot, const char* key) { slot = DesignerText(key, slot); };
  take(texts.MsgNoDesignSelected, "MsgNoDesignSelected");
  take(texts.MsgNoDesignSelectedCaption, "MsgNoDesignSelectedCaption");
  take(texts.MsgCanNotExport, "MsgCanNotExport");
  take(texts.MsgImpDesignExists, "MsgImpDesignExists");
  take(texts.MsgImpDesignExistsCaption, "MsgImpDesignExistsCaption");
  take(texts.MsgLastImportFailed, "MsgLastImportFailed");
  take(texts.MsgThisImportFailed, "MsgThisImportFailed");
  take(texts.MsgCapImportError, "MsgCapImportError");
  take(texts.MsgRestoreFailed, "MsgRestoreFailed");
  take(texts.TypesFileName, "TypesFileName");
  take(texts.FonTFileName, "FonTFileName");
  take(texts.BonTypesFileName, "BonTypesFileName");
  take(texts.FieldsFileName, "FieldsFileName");
  return texts;
}

layout::UpdateResult RunNewReportsUpdate(layout::DesignDatabase& designs) {
  runtime::Window window;
  auto show = [&](const layout::TransferProgress& progress) {
    if (!window.IsOpen()) {
      PrepareDialog(window, DesignerText("CaptionUpdatingDatabase"), 200, 50);
      window.CreateControl(UpdateStep, runtime::ControlString);
      window.SetRect(UpdateStep, {6, 6, 188, 10});
      window.CreateControl(UpdateBar, runtime::ControlProgress);
      window.SetRect(UpdateBar, {6, 20, 150, 10});
      window.CreateControl(UpdatePercent, runtime::ControlString);
      window.SetRect(UpdatePercent, {160, 20, 34, 10});
      window.Open();
    }
    window.SetText(UpdateStep, progress.step);
    window.SetProgress(UpdateBar, progress.percent);
    window.SetText(UpdatePercent, std::to_string(progress.percent) + "%");
  };
  layout::DesignTransfer transfer(designs, TransferTextsFromTable(), show);
  layout::UpdateResult result = transfer.UpdateFromNewReports();
  if (window.IsOpen()) window.Close();
  return result;
}

}  // namespace ledora::designer
