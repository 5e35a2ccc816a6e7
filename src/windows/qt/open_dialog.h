#pragma once

#include <QString>

class QWidget;

namespace vantrel {

// Asks the user for one file to open, modally.
class FilePicker {
public:
    enum class Outcome { Chosen, Cancelled, Failed };
    struct Request {
        QString title;
        QString filter;      // one Qt name filter, "Description (patterns)"
        QString startName;   // the file the dialog opens at
        QString startFolder; // else the folder it opens in; both empty for its own default
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

} // namespace vantrel
