// The application's main procedure: sets up the process-wide objects in
// order, runs the main frame until the user closes it, and shuts everything
// down in order. main() runs it on the first procedure thread.
#pragma once

#include <functional>
#include <string>

#include "app/main_frame.h"
#include "data/error_reporter.h"
#include "framework/ini_store.h"

namespace ledora::app {

inline constexpr char kSettingsFile[] = "ledora.INI";

// The process-wide objects every procedure reaches.
extern data::ErrorReporter GlobalErrors;
extern framework::IniStore INIMgr;
extern std::string HelpFile;

// prepare runs when the frame exists and before it opens (tests give the
// menu entries procedures of their own through it).
void MainProcedure(const std::function<void(MainFrame&)>& prepare = {});

}  // namespace ledora::app
