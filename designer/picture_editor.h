// The picture editor: a modal dialog that composes the display picture of a
// report control from options, shows the picture with an example and what
// the report prints with it, and hands the picture back on OK. Opened from
// the control properties dialog and the properties box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ledora::designer {

// The dialog's controls.
enum PictureEditorControls : int32_t {
  PicTypeOption = 1,  // radios PicTypeOption + 1 ... + 5: string ... manual
  PicBlankWhenZero = 8,
  PicLeadingZero,
  PicPicture,
  PicExample,
  PicPrintsAs,
  PicStringSize,
  PicTotalSize,
  PicPlaces,
  PicSign,
  PicFilling,
  PicGrouping,
  PicDecimalPoint,
  PicPrefix,
  PicSuffix,
  PicDateList,
  PicTimeList,
  PicSeparatorList,
  PicManual,
  PicOk,
  PicCancel,
  PicFirstPrompt = 40,  // the prompts take the numbers from here on
};

// Edits picture (at most 255 characters) in the dialog; true on OK, with the
// new picture in *picture. Cancel leaves it unchanged.
bool EditPicture(std::string* picture);

// "Prints as: " and what the report prints for a sample value with picture
// (1234567.891, 31 October 1959, 11:30:45 or a sample text, by the kind of
// picture), or a note that the report cannot use the picture.
std::string PrintsAs(std::string_view picture);

}  // namespace ledora::designer
