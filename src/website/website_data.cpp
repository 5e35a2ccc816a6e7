#include "website/website_data.h"

#include "website_config.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>

#include <system_error>

namespace vantrel {

namespace {

const std::filesystem::path homePage = std::filesystem::path("website") / "index.html";

// Qt's own conversions between its text and paths: a narrow string means the
// ANSI code page to a path on Windows, not UTF-8.
QUrl fileUrl(const std::filesystem::path &path) { return QUrl::fromLocalFile(QFileInfo(path).filePath()); }

std::filesystem::path toPath(const QString &folder) { return QDir(folder).filesystemPath(); }

} // namespace

std::vector<std::filesystem::path> websiteDataFolders()
{
    return {toPath(QCoreApplication::applicationDirPath()) / "data",
            toPath(QString::fromUtf8(website_config::installedDataDir))};
}

QUrl websiteAddress(const std::vector<std::filesystem::path> &dataFolders)
{
    const QString configured = QString::fromUtf8(website_config::websiteAddress);
    if (!configured.isEmpty())
        return QUrl::fromUserInput(configured);
    for (const auto &folder : dataFolders) {
        std::error_code error;
        if (std::filesystem::is_regular_file(folder / homePage, error))
            return fileUrl(folder / homePage);
    }
    // Nothing shipped where it should be: the browser shows its own page
    // saying that the installed home page is missing.
    return dataFolders.empty() ? QUrl() : fileUrl(dataFolders.back() / homePage);
}

} // namespace vantrel
