#include "app/website_data.h"

#include "website_config.h"

#include <QCoreApplication>
#include <QString>

#include <system_error>

namespace vantrel {

namespace {

const std::filesystem::path homePage = std::filesystem::path("website") / "index.html";

QUrl fileUrl(const std::filesystem::path &path) { return QUrl::fromLocalFile(QString::fromStdString(path.string())); }

} // namespace

std::vector<std::filesystem::path> websiteDataFolders()
{
    const std::filesystem::path programFolder = QCoreApplication::applicationDirPath().toStdString();
    return {programFolder / "data", std::filesystem::path(website_config::installedDataDir)};
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
