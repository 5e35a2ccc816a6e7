#include "app/qt/website_launcher.h"

#include "platform/diagnostic.h"
#include "website_config.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace vantrel {

namespace {

constexpr const char *helperName = VANTREL_WEBSITE_HELPER_FILE_NAME;
constexpr int quitWaitMs = 2000;
constexpr int terminateWaitMs = 1000;

} // namespace

QString websiteHelperPath()
{
    const QFileInfo beside(QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(helperName));
    if (beside.isFile() && beside.isExecutable())
        return beside.filePath();
    return QString::fromUtf8(website_config::installedHelperDir) + QLatin1Char('/') + QLatin1String(helperName);
}

WebsiteLauncher::WebsiteLauncher(QString helperPath, QObject *parent)
    : QObject(parent), helperPath_(std::move(helperPath))
{
    // The helper speaks straight to our terminal; nothing piles up here.
    helper_.setProcessChannelMode(QProcess::ForwardedChannels);
    connect(&helper_, &QProcess::errorOccurred, this, &WebsiteLauncher::helper_ErrorOccurred);
}

WebsiteLauncher::~WebsiteLauncher() { close(); }

void WebsiteLauncher::show()
{
    if (helper_.state() != QProcess::NotRunning) {
        helper_.write("raise\n");
        return;
    }
    helper_.start(helperPath_, {});
}

void WebsiteLauncher::close()
{
    if (helper_.state() == QProcess::NotRunning)
        return;
    helper_.closeWriteChannel();
    if (helper_.waitForFinished(quitWaitMs))
        return;
    helper_.terminate();
    if (helper_.waitForFinished(terminateWaitMs))
        return;
    helper_.kill();
    helper_.waitForFinished(terminateWaitMs);
}

bool WebsiteLauncher::isRunning() const { return helper_.state() != QProcess::NotRunning; }

qint64 WebsiteLauncher::helperProcessId() const { return helper_.processId(); }

// The user sees no message, as with any other failure to open a window; the
// terminal gets the reason.
void WebsiteLauncher::helper_ErrorOccurred(QProcess::ProcessError error)
{
    if (error == QProcess::FailedToStart)
        printDiagnostic(QStringLiteral("vantrel: cannot start the website window %1: %2")
                            .arg(helperPath_, helper_.errorString())
                            .toLocal8Bit()
                            .toStdString());
}

} // namespace vantrel
