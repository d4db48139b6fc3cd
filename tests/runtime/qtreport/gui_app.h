// One QGuiApplication for the whole test binary, on the offscreen platform so
// the tests need no display.
#pragma once

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace ledora::testing {

inline void EnsureGuiApp() {
  static std::unique_ptr<QGuiApplication> app;
  if (app) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "runtime_qtreport_tests";
  static char* argv[] = {name, nullptr};
  app = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace ledora::testing
