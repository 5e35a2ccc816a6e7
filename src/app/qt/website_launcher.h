#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

namespace vantrel {

// Where the website helper is: beside the running program (a build tree),
// else in the installed helper folder.
QString websiteHelperPath();

// The resident program's side of the website window. The window and its web
// engine live in a helper process started on demand, so that the resident
// program never carries the engine's memory. The two talk over the helper's
// standard input: a line "raise" brings the window to the front, and the end
// of the input asks the helper to quit. A helper that crashes or is killed
// takes nothing with it; the next show() starts a new one.
class WebsiteLauncher : public QObject {
    Q_OBJECT
public:
    explicit WebsiteLauncher(QString helperPath = websiteHelperPath(), QObject *parent = nullptr);
    ~WebsiteLauncher() override;

    // Opens the website window, or brings the open one to the front.
    void show();

    // Ends the helper and its window; waits a little for it to quit on its
    // own before it is terminated.
    void close();

    bool isRunning() const;
    // The helper's process id while it runs, else 0.
    qint64 helperProcessId() const;

private:
    void helper_ErrorOccurred(QProcess::ProcessError error);

    const QString helperPath_;
    QProcess helper_;
};

} // namespace vantrel
