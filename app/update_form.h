// What the four invoicing update forms share: a window with one tab
// "General" holding a prompt and an entry per field of the primary record,
// OK, "Cancel" and "Help"; the title by request; "ditto" history on Ctrl+'
// for every entry; and the files the form opens and closes. UpdateCustomers,
// UpdateItems, UpdateInvoices and UpdateInvoiceLines are built on it.
#pragma once

#include <cstdint>
#include <vector>

#include "data/relation_controller.h"
#include "framework/procedure_frame.h"
#include "framework/toolbar_router.h"
#include "framework/window_resizer.h"
#include "runtime/window/window.h"

namespace ledora::app {

struct FormField {
  const char* prompt;  // "Name:"
  const char* label;   // "CUS:NAME": the primary record's field, and its picture
  const char* tip;     // "" = none
};

struct FormDescription {
  const char* procedure;  // its name; the section of its window's placement
  const char* title;
  const char* insertTitle;
  const char* changeTitle;
  std::vector<FormField> fields;
};

enum UpdateFormControl : int32_t {
  FormSheet = 1,
  FormTab = 2,
  FormOk = 3,
  FormCancel = 4,
  FormHelp = 5,
};

// The prompt and the entry of the form's field (from 0, in window order).
constexpr int32_t FormPrompt(int field) { return 10 + 2 * field; }
constexpr int32_t FormEntry(int field) { return 11 + 2 * field; }

// A number entry of the form that names a record of another file (the
// invoice's customer, the line's item): a typed number is looked up, one
// with no record opens that file's selection list, and the look-up button
// or F8 opens the list directly. The record's name shows beside the button.
struct FormLookup {
  int32_t entry;
  int32_t button;
  runtime::FieldRef number;  // the form's field: INV:CUSTOMERID
  runtime::FieldRef key;     // the other file's: CUS:CUSTOMERID
  data::FileManager** file;
  int keyNumber;
  uint16_t procedure;  // the form's called procedure that selects a record
  // The form is not saved with a number that has no record; saving does
  // not open the list again, it says so.
  bool required;
};

// Form rows are this far apart, in dialog units.
inline constexpr int32_t kFormRowHeight = 14;

class UpdateForm : public framework::ProcedureFrame {
 public:
  // history: where the values of the last completed form are kept for the
  // history key; it outlives the form, so the next form can recall them.
  UpdateForm(const FormDescription& description, data::RelationController* primary, void* history);

  data::Severity Initialize() override;
  data::Severity PrepareRequest() override;
  data::Severity Shutdown() override;

  runtime::Window& win() { return win_; }

  void PrepareWindow() override;
  void RegisterAlerts() override;
  data::Severity HandleEvent() override;
  data::Severity OnAccepted() override;
  data::Severity OnCompleted() override;

 protected:
  // Makes the look-up button and the name beside the lookup's entry, and
  // keeps the lookup (which must outlive the form).
  void AddLookup(const FormLookup& lookup, int32_t nameControl, const runtime::FieldRef& name,
                 const char* picture);
  // Puts the record of the lookup's number in its buffer, or a cleared one
  // when the number has none, so the name shown always belongs to the number.
  bool FetchLookup(const FormLookup& lookup);
  // After a look-up changed or confirmed the number; found: it has a record.
  virtual void LookedUp(const FormLookup& lookup, bool found) {}

  // Files the form uses besides its primary, opened before it and closed
  // at the form's end.
  void UseFile(data::RelationController* relation) { others_.push_back(relation); }
  // Called once the form's files are open and before the window opens: a
  // form sets up its lists here. Non-zero ends the form before it opens.
  virtual uint8_t SetupLists() { return data::SeverityNone; }
  // The y of the row below the fields, where a form adds its own controls.
  int32_t BelowFields() const;
  // Places the buttons and sizes the tab, sheet and window to hold `height`.
  // The buttons come after every control made before, in Tab order too.
  void FinishLayout(int32_t height);

 private:
  void BuildWindow();
  void MakeButtons();
  void LookUp(const FormLookup& lookup);
  void Choose(const FormLookup& lookup);
  const FormLookup* LookupOf(int32_t control, bool button) const;

  const FormDescription& description_;
  data::RelationController* primary_;
  void* history_;
  std::vector<data::RelationController*> others_;
  std::vector<data::RelationController*> opened_;
  std::vector<const FormLookup*> lookups_;
  std::vector<int32_t> lookupNames_;
  runtime::Window win_;
  framework::ToolbarRouter toolbar_;
  framework::WindowResizer resizer_;
};

}  // namespace ledora::app
