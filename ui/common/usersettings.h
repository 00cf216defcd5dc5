#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// What the program keeps for the user between starts: the main window's size and place, the member list's
// and the couple grid's column widths and the folder the file dialogs last showed. They live in an INI file in the
// per-user configuration folder, never in the data folder, which belongs to the club and may be shared.
//
// Nothing is kept until the program names the file at start (use_file): windows built by tests, benchmarks and
// other programs neither read nor write the user's configuration. Without the file every window starts as
// designed.
namespace usersettings {

// $XDG_CONFIG_HOME/DanceEntry/DanceEntry.conf, by default ~/.config/DanceEntry/DanceEntry.conf (in Qt's test
// mode a folder of its own). A relative XDG_CONFIG_HOME is ignored, as the XDG rule says: it would put the file
// wherever the program was started, into the data folder too. Empty when the system names no folder.
QString default_file();

// Keeps the settings in `file` from now on; an empty text keeps nothing. Only a regular file of a sane size is
// ever read (or none yet): for anything else (a named pipe would hold the start) nothing is kept, and the
// returned message, empty otherwise, tells the user so once.
QString use_file(const QString& file);

// The settings, or null while nothing is kept (also when the file has since become something else).
std::unique_ptr<QSettings> open();

// The keys.
inline constexpr char kMainWindowGeometry[] = "MainWindow/geometry";
inline constexpr char kMemberColumnWidths[] = "MemberList/columnWidths";
inline constexpr char kCoupleColumnWidths[] = "CoupleGrid/columnWidths";
inline constexpr char kLastFolder[] = "FileDialog/lastFolder";
inline constexpr char kLastExportFolder[] = "Export/lastFolder"; // the folder of the last entry export

} // namespace usersettings
