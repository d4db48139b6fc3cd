#include "runtime/window/help.h"

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
  CurrentPresenter().ShowHelp(HelpFile(), HelpTopicFor(askedFrom));
}

}  // namespace ledora::runtime
