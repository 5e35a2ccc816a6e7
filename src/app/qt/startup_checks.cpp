#include "app/qt/startup_checks.h"

#include "app/qt/website_launcher.h"
#include "platform/diagnostic.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibrary>
#include <QPluginLoader>
#include <QStandardPaths>

namespace vantrel {

namespace {

struct RequiredFont {
    const char *family;
    const char *package;
    const char *use;
};

// The free fonts that stand in for the Windows fonts the windows are
// designed with (see installFontSubstitutions).
constexpr RequiredFont requiredFonts[] = {
    {"Comic Neue", "fonts-comic-neue", "most captions"},
    {"Liberation Sans", "fonts-liberation2", "buttons and small labels"},
};

void printLine(const QString &line)
{
    printDiagnostic((QStringLiteral("vantrel: ") + line).toLocal8Bit().toStdString());
}

bool pluginServes(const QPluginLoader &plugin, const QString &platform)
{
    const QJsonArray keys =
        plugin.metaData().value(QLatin1String("MetaData")).toObject().value(QLatin1String("Keys")).toArray();
    for (const auto &key : keys)
        if (key.toString().compare(platform, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

QStringList requestedPlatforms()
{
    const QString requested = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (requested.isEmpty()) {
        // Qt's own choice: Wayland first in a Wayland session, X11 (directly
        // or through XWayland) after it.
        if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland")
            return {QStringLiteral("wayland"), QStringLiteral("xcb")};
        return {QStringLiteral("xcb")};
    }
    QStringList names;
    for (const QString &entry : requested.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        names.append(entry.section(QLatin1Char(':'), 0, 0));
    return names;
}

QStringList platformPluginFolders()
{
    QStringList folders;
    const QString ownPath = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    if (!ownPath.isEmpty())
        folders.append(ownPath);
    for (const QString &path : QCoreApplication::libraryPaths())
        folders.append(path + QLatin1String("/platforms"));
    return folders;
}

std::optional<QString> platformPluginProblem(const QStringList &platforms, const QStringList &folders)
{
    QString loadFailure;
    for (const QString &folder : folders) {
        for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files)) {
            if (!QLibrary::isLibrary(file.fileName()))
                continue;
            QPluginLoader plugin(file.filePath());
            for (const QString &platform : platforms) {
                if (!pluginServes(plugin, platform))
                    continue;
                if (plugin.load())
                    return std::nullopt;
                loadFailure = plugin.errorString();
            }
        }
    }
    // A plugin that is there but can't be loaded usually misses one of its
    // libraries; the loader's reason names it.
    if (!loadFailure.isEmpty())
        return QStringLiteral("cannot start: cannot load Qt's platform plugin: %1").arg(loadFailure);
    const QString names = QLatin1Char('"') + platforms.join(QLatin1String("\" or \"")) + QLatin1Char('"');
    const QString where = folders.isEmpty() ? QStringLiteral("no plugin folder") : folders.join(QLatin1String(", "));
    const QString hint =
        platforms.contains(QLatin1String("xcb")) ? QStringLiteral("; it comes with the package libqt6gui6") : QString();
    return QStringLiteral("cannot start: Qt's platform plugin %1 is missing (looked in %2)%3").arg(names, where, hint);
}

bool platformPluginAvailable()
{
    const auto problem = platformPluginProblem(requestedPlatforms(), platformPluginFolders());
    if (problem)
        printLine(*problem);
    return !problem;
}

QStringList missingFonts()
{
    QStringList lines;
    for (const RequiredFont &font : requiredFonts) {
        if (!QFontDatabase::hasFamily(QString::fromLatin1(font.family)))
            lines.append(QStringLiteral("the font \"%1\" is missing; %2 are drawn in another font (install %3)")
                             .arg(QLatin1String(font.family), QLatin1String(font.use), QLatin1String(font.package)));
    }
    return lines;
}

bool mimeDatabaseInstalled()
{
    return !QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("mime/mime.cache")).isEmpty();
}

std::optional<QString> missingWebsiteHelper(const QString &helperPath)
{
    const QFileInfo helper(helperPath);
    if (helper.isFile() && helper.isExecutable())
        return std::nullopt;
    return QStringLiteral("the website window's program %1 is missing; \"Website\" in the about window opens nothing")
        .arg(helperPath);
}

void warnAboutMissingPieces()
{
    QStringList lines = missingFonts();
    if (!mimeDatabaseInstalled())
        lines.append(QStringLiteral("the shared MIME database is missing; documents bound to keys can't be matched "
                                    "to their programs (install shared-mime-info)"));
    if (const auto helper = missingWebsiteHelper(websiteHelperPath()))
        lines.append(*helper);
    for (const QString &line : lines)
        printLine(line);
}

} // namespace vantrel
