#include "windows/qt/frmKeys.h"

#include "windows/qt/desktop_trigger_note.h"
#include "windows/qt/fonts.h"
#include "windows/qt/message_box.h"
#include "windows/qt/twips.h"

#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace vantrel {

namespace {

// Every line starts with the key's label padded to this width; the path
// follows directly.
constexpr int kLabelWidth = 6;

QString listLine(platform::FunctionKey key, const std::u16string &path)
{
    const auto label = platform::keyLabel(key);
    return QString::fromLatin1(label.data(), static_cast<qsizetype>(label.size())).leftJustified(kLabelWidth) +
           QString::fromStdU16String(path);
}

// What follows the last path separator in the line from its sixth character
// on. Paths here are separated by "/", paths carried over from Windows by
// "\": whichever comes last counts. A path without either keeps the blank
// that precedes it in the line.
QString fileNamePart(const QString &line)
{
    const QString tail = line.mid(kLabelWidth - 1);
    const auto lastSeparator = std::max(tail.lastIndexOf(u'/'), tail.lastIndexOf(u'\\'));
    return tail.mid(lastSeparator + 1);
}

} // namespace

frmKeys::frmKeys(const BindingSet &bindings, const platform::KeySource &keys, platform::Opener &opener)
    : FixedDialog(QStringLiteral("View Key Configuration"), twipsSize(5340, 2535)), bindings_(bindings), keys_(keys),
      opener_(opener)
{
    setFont(designFont("MS Sans Serif", 8.25));

    lstKeys = new QListWidget(this);
    lstKeys->setObjectName(QStringLiteral("lstKeys"));
    lstKeys->setGeometry(twipsRect(60, 60, 5235, 1815));
    lstKeys->setSelectionMode(QAbstractItemView::SingleSelection);
    lstKeys->viewport()->installEventFilter(this);

    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(twipsRect(4080, 1980, 1215, 495));
    cmdClose->setDefault(true);

    cmdExecute = new QPushButton(QStringLiteral("Execute"), this);
    cmdExecute->setObjectName(QStringLiteral("cmdExecute"));
    cmdExecute->setGeometry(twipsRect(2760, 1980, 1215, 495));

    lblExeName = new QLabel(this);
    lblExeName->setObjectName(QStringLiteral("lblExeName"));
    lblExeName->setGeometry(twipsRect(60, 2040, 2595, 375));
    lblExeName->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblExeName->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblExeName->setTextFormat(Qt::PlainText);
    lblExeName->setFont(designFont("MS Sans Serif", 12));

    setTabOrder(lstKeys, cmdClose);
    setTabOrder(cmdClose, cmdExecute);

    connect(lstKeys, &QListWidget::itemSelectionChanged, this, &frmKeys::lstKeys_Click);
    connect(cmdExecute, &QPushButton::clicked, this, &frmKeys::cmdExecute_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmKeys::cmdClose_Click);

    Form_Load();
}

void frmKeys::Form_Load()
{
    for (const auto key : platform::kFunctionKeys) {
        lstKeys->addItem(listLine(key, bindings_.pathCopy(key)));
        lstKeys->item(lstKeys->count() - 1)->setToolTip(desktopTriggerNote(keys_, key));
    }
}

void frmKeys::lstKeys_Click()
{
    const auto selected = lstKeys->selectedItems();
    if (!selected.isEmpty())
        lblExeName->setText(fileNamePart(selected.first()->text()));
}

// Presses anywhere over the list, on a line or below the last one.
bool frmKeys::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (watched == lstKeys->viewport() && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)) {
        const auto button = static_cast<QMouseEvent *>(event)->button();
        if (type == QEvent::MouseButtonPress)
            lstKeys_MouseDown(button);
        // Only the left button selects lines.
        return button != Qt::LeftButton;
    }
    return FixedDialog::eventFilter(watched, event);
}

void frmKeys::lstKeys_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::MiddleButton)
        showMessage(this, QStringLiteral("mah!"));
}

void frmKeys::cmdExecute_Click()
{
    const auto selected = lstKeys->selectedItems();
    if (selected.isEmpty())
        return;
    opener_.open(selected.first()->text().mid(kLabelWidth).toStdU16String());
}

void frmKeys::cmdClose_Click() { unload(); }

} // namespace vantrel
