#pragma once

class QIcon;

// The program's identity as Qt sees it. UI thread only.
namespace vorlo::identity {

// The program icon, with its 32, 48 and 64 px images, built into the program.
QIcon ProgramIcon();

// Gives the running QApplication the program's name, organisation, version, desktop entry
// and window icon. Call once, after the application object exists.
void ApplyToApplication();

// The resource path of the icon file that holds the three images together.
inline constexpr const char* kIconFileResource = ":/vorlo/icon/vorlo-player.ico";

} // namespace vorlo::identity
