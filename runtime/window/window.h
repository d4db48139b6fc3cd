// A window of the window engine: title, units, geometry, font, icon, kind,
// timer, alert keys, cursor and its controls, with an event queue that the
// owning procedure thread takes events from (Accept). The procedure frame and
// every window procedure build and drive windows; presenters show them and
// turn user actions into events through the "user side" operations.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/window/control.h"
#include "runtime/window/event.h"
#include "runtime/window/list_source.h"

namespace ledora::runtime {

enum WindowUnit : int32_t {
  UnitDialog = 0,       // a quarter of the average character width, an eighth of its height
  UnitThousandths = 1,  // thousandths of an inch
  UnitMillimetres = 2,
  UnitPoints = 3,
  UnitPixels = 4,
};

enum CursorShape : int32_t {
  CursorArrow = 0,
  CursorWait,
  CursorCross,
  CursorIBeam,
  CursorSizeAll,
  CursorHand,
};

struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const Rect&) const = default;
};

class Window {
 public:
  Window();
  ~Window();  // closes the window if it is still open
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // --- Description: set before or after opening; each change is shown. The
  // unit and the kind (frame, MDI child, modal, scrolling, caption) count
  // from the next Open.
  const std::string& title() const { return title_; }
  void SetTitle(std::string_view title);
  WindowUnit unit() const { return unit_; }
  void SetUnit(WindowUnit unit) { unit_ = unit; }
  const Font& font() const { return font_; }
  void SetFont(const Font& font);
  const std::string& icon() const { return icon_; }
  void SetIcon(std::string_view icon);
  bool isFrame() const { return frame_; }
  void SetFrame(bool frame) { frame_ = frame; }  // the program's frame: MDI area, menu, toolbar
  bool isMdiChild() const { return mdiChild_; }
  void SetMdiChild(bool child) { mdiChild_ = child; }
  bool isModal() const { return modal_; }
  void SetModal(bool modal) { modal_ = modal; }
  // A scrolling window shows scroll bars when its controls reach beyond it.
  bool isScrollable() const { return scrollable_; }
  void SetScrollable(bool scrollable) { scrollable_ = scrollable; }
  bool hasCaption() const { return caption_; }
  void SetCaption(bool caption) { caption_ = caption; }
  // The user guide's topic for this window (empty: the guide's contents).
  const std::string& helpTopic() const { return helpTopic_; }
  void SetHelpTopic(std::string_view topic) { helpTopic_ = topic; }
  const std::string& statusText() const { return status_; }
  void SetStatusText(std::string_view text);
  int32_t timer() const { return timer_; }
  void SetTimer(int32_t hundredths);  // 0 stops it
  CursorShape cursor() const { return cursor_; }
  void SetCursor(CursorShape cursor);

  // Placement, in window units. The settings store keeps it across runs.
  Rect geometry() const { return geometry_; }
  void GetPosition(int32_t* x, int32_t* y) const;
  void GetSize(int32_t* width, int32_t* height) const;
  void SetPosition(int32_t x, int32_t y);
  void SetSize(int32_t width, int32_t height);
  bool IsResizable() const { return resizable_; }
  void SetResizable(bool resizable) { resizable_ = resizable; }
  bool IsMaximised() const { return maximised_; }
  void SetMaximised(bool maximised);
  bool IsMinimised() const { return minimised_; }
  void SetMinimised(bool minimised);
  // A hidden window keeps working (events, timer) without being shown.
  bool isVisible() const { return visible_; }
  void SetVisible(bool visible);
  // A window given no place opens beside this one (a tool window beside
  // the window it serves), covering none of its menus; not owned.
  const Window* placeBeside() const { return beside_; }
  void SetPlaceBeside(const Window* window) { beside_ = window; }
  Rect minimumSize() const { return minimum_; }  // width and height only
  void SetMinimumSize(int32_t width, int32_t height);
  Rect maximumSize() const { return maximum_; }  // 0 = no limit
  void SetMaximumSize(int32_t width, int32_t height);

  // --- Controls, in field order. Number 0 asks for the next free number;
  // a number already in use fails with 0. Menus take negative numbers. A
  // number this window lacks that names a button on the frame's toolbar
  // reaches that button, so a child's procedure can set the toolbar.
  int32_t CreateControl(int32_t number, ControlType type, int32_t parent = 0);
  bool DestroyControl(int32_t number);  // with the controls inside it
  Control* Find(int32_t number);
  const Control* Find(int32_t number) const;
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  // Menus: entries are numbered by the caller; a separator takes no number.
  int32_t AddMenu(int32_t number, int32_t parent, std::string_view text,
                  std::string_view message = {});
  int32_t AddMenuItem(int32_t number, int32_t parent, std::string_view text,
                      std::string_view message = {}, StandardAction action = ActionNone);
  void AddMenuSeparator(int32_t parent);

  // Control properties; an unknown control number is ignored.
  void SetRect(int32_t control, const Rect& rect);
  Rect GetRect(int32_t control) const;
  void SetText(int32_t control, std::string_view text);
  std::string GetText(int32_t control) const;
  void SetUse(int32_t control, const FieldRef& use);
  bool SetPicture(int32_t control, std::string_view picture);  // false: malformed, shown raw
  void SetEnabled(int32_t control, bool enabled);
  void SetHidden(int32_t control, bool hidden);
  void SetReadOnly(int32_t control, bool readOnly);
  void SetTransparent(int32_t control, bool transparent);
  void SetControlFont(int32_t control, const Font& font);
  void SetColours(int32_t control, int32_t colour, int32_t backColour,
                  int32_t selectedColour = kNoColour, int32_t selectedBackColour = kNoColour);
  void SetFillColour(int32_t control, int32_t fillColour);
  void SetLineWidth(int32_t control, int32_t width);
  void SetIcon(int32_t control, std::string_view icon);
  void SetTip(int32_t control, std::string_view tip);
  bool SetListFormat(int32_t control, std::string_view format);  // false: malformed
  void SetListSource(int32_t control, ListSource* source);       // not owned
  void SetRows(int32_t control, std::vector<std::vector<std::string>> rows);
  void SetSelection(int32_t control, int32_t selection);  // row, tab or choice
  int32_t GetSelection(int32_t control) const;
  int32_t VisibleRows(int32_t control) const;
  void SetVisibleRows(int32_t control, int32_t rows);  // presenters, as the list is sized
  void SetThumb(int32_t control, int32_t position, bool shown = true);
  void SetSpinRange(int32_t control, int32_t low, int32_t high, int32_t step = 1);
  void SetProgress(int32_t control, int32_t value);
  void SetDefaultButton(int32_t control);
  void SetCheckValues(int32_t control, std::string_view trueValue, std::string_view falseValue);
  void SetRadioValue(int32_t control, std::string_view value);
  void SetImmediate(int32_t control, bool immediate);
  void SetVScroll(int32_t control, bool vscroll);
  void SetTrackMouse(int32_t control, bool track);  // 0: the window itself
  bool tracksMouse() const { return trackMouse_; }
  void SetOnToolbar(int32_t control, bool onToolbar);
  void SetDragId(int32_t control, std::string_view id);
  void SetDropId(int32_t control, std::string_view id);
  void SetDragText(int32_t control, std::string_view text);
  // Shows a report page in an image control; a click on it reports the
  // point of the drawn page (window units from the page's top left).
  // pageOffset: where the page starts in pageFile, a report's spool.
  void SetPageImage(int32_t control, std::string_view pageFile, int32_t pageWidth = 0,
                    int32_t centreX = 0, int32_t centreY = 0, int64_t pageOffset = 0);
  void SetPageMarks(int32_t control, std::vector<PageMark> marks);
  // After changing a Control's fields directly.
  void Changed(int32_t control);

  // Alert keys: a key that is an alert of the window, or of the control it is
  // pressed in, comes as an alert-key event instead of doing its usual work.
  void AddAlert(int32_t keyCode);
  void RemoveAlert(int32_t keyCode);
  void AddAlert(int32_t control, int32_t keyCode, int32_t slot);
  void ClearAlerts(int32_t control);
  bool IsAlert(int32_t control, int32_t keyCode) const;

  // --- Display and update between use variables and controls, through the
  // controls' pictures. Control 0 means every control.
  void Display(int32_t control = 0);
  // Reads what the control shows back into its variable; false (variable
  // untouched) when the picture cannot read it.
  bool Update(int32_t control = 0);

  // --- Life and events. Open belongs to the calling thread; only that
  // thread takes the window's events.
  void Open();
  void Close();
  bool IsOpen() const { return open_; }
  // Brings the window to the front with the focus (another thread's too).
  void Activate();
  int32_t thread() const { return thread_; }
  // Finishes the previous event's default work (unless consumed), then waits
  // for the next event. False once the window is closed.
  bool Accept(Event* event);
  const Event& event() const { return current_; }
  // The current event's default work (closing on a close event) is skipped.
  void ConsumeEvent() { consumed_ = true; }
  // Appends an event to this window's queue and wakes its thread.
  void Post(int32_t event, int32_t control = 0, int32_t keyCode = 0);
  void Post(const Event& event);
  size_t PendingEvents() const { return queue_.size(); }
  int32_t FocusedControl() const { return focus_; }
  // Moves the focus; while accepting all it also ends the validation.
  void Select(int32_t control);
  // Validates every control that takes input, each with an accepted event;
  // a rejected input or a Select ends it, else it ends with a completed event.
  void StartAcceptAll();
  bool IsAcceptingAll() const { return acceptAll_; }

  // --- The user side: presenters and the headless driver report what the
  // user did; the window turns it into events.
  void UserPressed(int32_t control);                       // button, check, radio, menu entry
  void UserTyped(int32_t control, std::string_view text);  // an entry left with this text
  void UserChoseRow(int32_t control, int32_t row, int32_t keyCode = KeyMouseLeft);
  void UserKey(int32_t control, int32_t keyCode);  // control 0: the window
  void UserScroll(int32_t control, int32_t event, int32_t thumb = 0);
  // The mouse wheel turned over a list: notches away from the user (up) are
  // positive. Each notch moves three rows, as the arrow keys would.
  void UserWheel(int32_t control, int32_t notches);
  void UserMouse(int32_t event, int32_t control, int32_t x, int32_t y, int32_t keyCode);
  void UserDrop(int32_t target, Window& source, int32_t sourceControl, int32_t x, int32_t y);
  void UserFocus(int32_t control);  // the focus moved to a control
  void UserActivated(bool active);  // the window gained or lost the focus
  // The screen gave the window the focus since it opened (UserActivated).
  bool HadFocus() const { return hadFocus_; }
  void UserResized(int32_t width, int32_t height);
  void UserMoved(int32_t x, int32_t y);
  void UserStateChanged(bool maximised, bool minimised);
  void UserCloseBox();
  void UserTimer();
  // The text a drop from this control carries.
  std::string DragTextOf(int32_t control) const;

  // Presenter data: one per window, owned here so it dies with the window.
  struct PresenterData {
    virtual ~PresenterData() = default;
  };
  PresenterData* presenterData() const { return presenterData_.get(); }
  void SetPresenterData(std::unique_ptr<PresenterData> data) { presenterData_ = std::move(data); }

 private:
  Control* Resolve(int32_t number, Window** owner);
  // Applies a change to a control, wherever it lives, and shows it.
  template <typename Apply>
  void Change(int32_t number, Apply apply) {
    Window* owner = nullptr;
    if (Control* c = Resolve(number, &owner)) {
      apply(c);
      owner->Notify(number);
    }
  }
  const Control* Resolve(int32_t number) const;
  void Notify(int32_t control);
  void DisplayOne(Control& control);
  bool UpdateOne(Control& control);
  void DisplayList(Control& control);
  void DoDefault(const Event& event);
  bool NextAcceptAll(Event* event);
  void PostTo(Control& control, int32_t event, int32_t keyCode);
  void ListKey(Control& list, int32_t keyCode);
  int32_t NextFreeNumber() const;
  void ChooseRadio(Control& radio);
  void ChooseTab(Control& tab);

  std::string title_;
  WindowUnit unit_ = UnitDialog;
  Font font_;
  std::string icon_;
  bool frame_ = false;
  bool mdiChild_ = false;
  bool modal_ = false;
  bool caption_ = true;
  bool scrollable_ = false;
  std::string status_;
  std::string helpTopic_;
  int32_t timer_ = 0;
  CursorShape cursor_ = CursorArrow;
  Rect geometry_;
  bool resizable_ = false;
  bool maximised_ = false;
  bool minimised_ = false;
  bool visible_ = true;
  Rect minimum_;
  Rect maximum_;
  const Window* beside_ = nullptr;
  bool trackMouse_ = false;
  int32_t nextSeparator_ = -1000000;

  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<int32_t> alerts_;

  bool open_ = false;
  int32_t thread_ = 0;
  std::deque<Event> queue_;
  Event current_;
  bool consumed_ = false;
  bool pendingDefault_ = false;
  int32_t focus_ = 0;
  bool acceptAll_ = false;
  bool hadFocus_ = false;
  size_t acceptAllNext_ = 0;
  std::unique_ptr<PresenterData> presenterData_;
};

}  // namespace ledora::runtime
