// The icons of the windows: the file names that windows and buttons name
// ("Cancel.ico", "vcrnext.ico", "~layout.ico") are shown with icons of the
// freedesktop theme the program sets itself (breeze), so they look the same
// on every desktop; and the program's own icon, drawn here, for every
// window that names none.
#pragma once

#include <QIcon>
#include <string>

namespace ledora::runtime {

inline constexpr char kIconTheme[] = "breeze";

// Sets the theme and the program's icon; the Qt presenter calls it once.
void UseProgramIcons();
QIcon ProgramIcon();
// The theme's icon for a named icon file, the program's icon for its own
// layout icon, null for a name it does not know.
QIcon ThemedIcon(const std::string& name);

}  // namespace ledora::runtime
