// Display and update between use variables and controls, through pictures.
#include <algorithm>

#include "runtime/window/window.h"

namespace ledora::runtime {

namespace {

std::string TrimRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string Trim(std::string text) {
  text = TrimRight(std::move(text));
  size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string Shown(const FieldRef& value, const Picture* picture) {
  return picture != nullptr ? picture->Format(value) : GetText(value);
}

// A check's or radio's value against the variable: as numbers when the
// variable is a number, else as clipped text.
bool Matches(const FieldRef& use, const std::string& value) {
  if (use.IsNumeric()) {
    std::optional<Decimal> number = Decimal::Parse(Trim(value));
    return number.has_value() && GetNumber(use) == *number;
  }
  return TrimRight(GetText(use)) == TrimRight(value);
}

bool ShowsText(ControlType type) {
  switch (type) {
    case ControlString:
    case ControlUserString:
    case ControlEntry:
    case ControlPrompt:
    case ControlButton:
    case ControlCombo:
    case ControlSpin:
    case ControlText:
    case ControlDropList:
    case ControlDropCombo:
      return true;
    default:
      return false;
  }
}

}  // namespace

void Window::Display(int32_t control) {
  if (control != 0) {
    if (Control* c = Find(control)) DisplayOne(*c);
    return;
  }
  for (size_t i = 0; i < controls_.size(); ++i) DisplayOne(*controls_[i]);
}

bool Window::Update(int32_t control) {
  if (control != 0) {
    Control* c = Find(control);
    return c == nullptr || UpdateOne(*c);
  }
  bool all = true;
  for (auto& c : controls_) {
    if (c->TakesInput() && !UpdateOne(*c)) all = false;
  }
  return all;
}

void Window::DisplayList(Control& c) {
  const int32_t rows = std::max(0, c.source->RowCount());
  const size_t columns = std::max<size_t>(1, c.format.columns().size());
  c.rows.assign(rows, {});
  for (int32_t row = 1; row <= rows; ++row) {
    std::vector<std::string>& texts = c.rows[row - 1];
    for (size_t column = 0; column < columns; ++column) {
      FieldRef cell = c.source->Cell(row, static_cast<int32_t>(column));
      const Picture* picture =
          column < c.columnPictures.size() ? c.columnPictures[column].get() : nullptr;
      texts.push_back(cell.address == nullptr ? std::string() : Trim(Shown(cell, picture)));
    }
  }
  c.selection = std::min(c.selection, rows);
}

void Window::DisplayOne(Control& c) {
  if ((c.type == ControlList || c.type == ControlCombo || c.type == ControlDropList ||
       c.type == ControlDropCombo) &&
      c.source != nullptr) {
    DisplayList(c);
  }
  if (c.use.address != nullptr) {
    switch (c.type) {
      case ControlCheck:
        c.checked = Matches(c.use, c.trueValue);
        break;
      case ControlOption:
        for (auto& radio : controls_) {
          if (radio->parent != c.number || radio->type != ControlRadio) continue;
          radio->checked = Matches(c.use, radio->radioValue);
          Notify(radio->number);
        }
        break;
      case ControlSheet:
        c.selection = static_cast<int32_t>(GetNumber(c.use).ToInt64());
        break;
      case ControlProgress: {
        auto value = static_cast<int32_t>(GetNumber(c.use).ToInt64());
        c.progress = std::max(c.rangeLow, std::min(value, c.rangeHigh));
        break;
      }
      case ControlList:
        break;
      default:
        if (ShowsText(c.type)) c.text = TrimRight(Shown(c.use, c.picture.get()));
        break;
    }
  }
  Notify(c.number);
}

bool Window::UpdateOne(Control& c) {
  if (c.use.address == nullptr) return true;
  switch (c.type) {
    case ControlCheck:
      runtime::SetText(c.use, c.checked ? c.trueValue : c.falseValue);
      return true;
    case ControlSheet:
      SetNumber(c.use, Decimal(c.selection));
      return true;
    case ControlOption:
    case ControlList:
    case ControlProgress:
      return true;
    default:
      break;
  }
  if (!ShowsText(c.type) || c.type == ControlButton || c.type == ControlPrompt) return true;
  if (c.type == ControlSpin) {
    std::optional<Decimal> typed = Decimal::Parse(Trim(c.text));
    if (c.picture == nullptr && !typed.has_value()) return false;
    Decimal value;
    if (c.picture != nullptr && !c.picture->Deformat(c.text, &value)) return false;
    if (c.picture == nullptr) value = *typed;
    if (value < Decimal(c.rangeLow) || value > Decimal(c.rangeHigh)) return false;
    SetNumber(c.use, value);
    return true;
  }
  if (c.picture != nullptr) return c.picture->Deformat(c.text, c.use);
  if (c.use.IsNumeric()) {
    std::optional<Decimal> value = Decimal::Parse(Trim(c.text));
    if (!value.has_value() && !Trim(c.text).empty()) return false;
    SetNumber(c.use, value.value_or(Decimal()));
    return true;
  }
  runtime::SetText(c.use, c.text);
  return true;
}

}  // namespace ledora::runtime
