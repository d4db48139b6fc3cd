#include "runtime/window/help.h"

#include "runtime/window/control.h"
#include "runtime/window/presenter.h"
#include "runtime/window/window.h"
#include "runtime/window/window_registry.h"

namespace ledora::runtime {

namespace {

std::string& File() {
  static std::string file;
  return file;
}

}  // namespace

void SetHelpFile(std::string_view file) { File() = file; }

const std::string& HelpFile() { return File(); }

std::string HelpTopicFor(const Window& askedFrom) {
  const Window* window = &askedFrom;
  if (window->isFrame()) {
    // The frame's menu serves whichever child the user is working in.
    const Window* active = WindowRegistry::Instance().Active();
    if (active != nullptr && !active->isFrame()) window = active;
  }
  return window->helpTopic();
}

void ShowHelp(const Window& askedFrom) {
  CurrentPresenter().ShowHelp(HelpFile(), HelpTopicFor(askedFrom), HelpShowTopic);
}

void ShowHelpFor(const Window& askedFrom, int32_t action) {
  switch (action) {
    case ActionHelpSearch:
      CurrentPresenter().ShowHelp(HelpFile(), "", HelpShowSearch);
      return;
    case ActionHelpOnHelp:
      CurrentPresenter().ShowHelp(HelpFile(), kHelpOnHelpTopic, HelpShowTopic);
      return;
    default:
      // The frame's Contents is the guide's; a window's Help button its topic.
      if (askedFrom.isFrame()) {
        CurrentPresenter().ShowHelp(HelpFile(), "", HelpShowTopic);
      } else {
        ShowHelp(askedFrom);
      }
      return;
  }
}

}  // namespace ledora::runtime
