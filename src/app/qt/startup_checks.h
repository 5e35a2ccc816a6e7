#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vantrel {

// What the program needs from the system at run time is looked for at
// start-up, so that a missing piece is named in one line instead of showing
// up later as a crash, a blank window or a key that silently does nothing.

// Run before the application object exists: Qt aborts the process with a
// core dump when its platform plugin can't be loaded. Prints one line and
// returns false when the program can't start.
bool platformPluginAvailable();

// Run once the application object exists. Each piece the program can do
// without is named in one warning line; none of them stops it.
void warnAboutMissingPieces();

// The parts, for the tests.

// The platform names Qt tries: QT_QPA_PLATFORM (a list separated by ';',
// each name perhaps followed by ':' and options), else wayland then xcb in a
// Wayland session (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE=wayland), xcb
// alone elsewhere.
QStringList requestedPlatforms();

// The folders Qt searches for platform plugins before the application exists.
QStringList platformPluginFolders();

// Why none of the platforms can be loaded from the folders, or nothing when
// one of them can (it is then loaded, ready for the application object).
std::optional<QString> platformPluginProblem(const QStringList &platforms, const QStringList &folders);

// One line for each font the windows are designed with that is not
// installed, naming the Debian package that brings it.
QStringList missingFonts();

// Whether the shared MIME database that GIO matches documents to programs
// with is in one of the data folders (XDG_DATA_HOME, XDG_DATA_DIRS).
bool mimeDatabaseInstalled();

// The line naming a missing website helper, or nothing when it is there.
std::optional<QString> missingWebsiteHelper(const QString &helperPath);

} // namespace vantrel
