#pragma once

#include <QString>

#include <memory>

class QWidget;

namespace vantrel {

// Asks the user for one file to open, modally.
class FilePicker {
public:
    enum class Outcome { Chosen, Cancelled, Failed };
    struct Request {
        QString title;
        QString filter;    // one Qt name filter, "Description (patterns)"
        QString startName; // where the dialog opens; empty for its own default
    };
    struct Result {
        Outcome outcome = Outcome::Failed;
        QString path; // the full path when Chosen
    };

    virtual ~FilePicker() = default;
    virtual Result pickFileToOpen(QWidget *owner, const Request &request) = 0;
};

// The desktop's own Open dialog where the platform offers one, Qt's otherwise.
class FileDialogPicker : public FilePicker {
public:
    Result pickFileToOpen(QWidget *owner, const Request &request) override;
};

// The Open dialog that the configuration window's rows share. Its file name
// outlives each use: a dialog opened from one row starts at the file last
// chosen in any row.
class CommonDialog {
public:
    explicit CommonDialog(std::unique_ptr<FilePicker> picker) : picker_(std::move(picker)) {}

    QString FileName;
    QString DialogTitle;
    QString Filter;

    // A chosen file becomes FileName; otherwise FileName stays as it was.
    FilePicker::Outcome ShowOpen(QWidget *owner);

private:
    std::unique_ptr<FilePicker> picker_;
};

} // namespace vantrel
