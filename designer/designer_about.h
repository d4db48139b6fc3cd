// The designer's About box: what the designer is and which version of the
// program it belongs to. It runs on a thread of its own, so the designer
// goes on working while it shows.
#pragma once

namespace ledora::designer {

// Starts the box on its own thread and returns at once.
void StartDesignerAbout();

}  // namespace ledora::designer
