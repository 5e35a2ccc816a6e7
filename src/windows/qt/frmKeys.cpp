#include "windows/qt/frmKeys.h"

#include "windows/qt/twips.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

namespace vantrel {

using namespace design::frmKeys;

namespace {

std::optional<design::MouseButton> designedButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return design::MouseButton::Left;
    case Qt::RightButton:
        return design::MouseButton::Right;
    case Qt::MiddleButton:
        return design::MouseButton::Middle;
    default:
        return std::nullopt;
    }
}

} // namespace

frmKeys::frmKeys(const BindingSet &bindings, const platform::KeySource &keys, platform::Opener &opener)
    : FixedDialog(twipsSize(design::frmKeys::window().clientSize)), QtWindowView(this, design::frmKeys::window()),
      behaviour_(*this, bindings, keys, opener)
{
    lstKeys()->viewport()->installEventFilter(this);
    connect(lstKeys(), &QListWidget::itemSelectionChanged, this, [this] { behaviour_.lstKeys_Click(); });
    connect(controls().get<QPushButton>(cmdExecute), &QPushButton::clicked, this,
            [this] { behaviour_.cmdExecute_Click(); });
    connect(controls().get<QPushButton>(cmdClose), &QPushButton::clicked, this,
            [this] { behaviour_.cmdClose_Click(); });
    behaviour_.Form_Load();
}

QListWidget *frmKeys::lstKeys() const { return controls().get<QListWidget>(design::frmKeys::lstKeys); }

void frmKeys::addLine(std::u16string_view text, std::u16string_view toolTip)
{
    auto *item = new QListWidgetItem(toQString(text), lstKeys());
    item->setToolTip(toQString(toolTip));
}

std::optional<std::size_t> frmKeys::selectedLine() const
{
    const auto selected = lstKeys()->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return static_cast<std::size_t>(lstKeys()->row(selected.first()));
}

// Presses anywhere over the list, on a line or below the last one.
bool frmKeys::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (watched == lstKeys()->viewport() && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)) {
        const auto button = static_cast<QMouseEvent *>(event)->button();
        if (const auto pressed = designedButton(button); pressed && type == QEvent::MouseButtonPress)
            behaviour_.lstKeys_MouseDown(*pressed);
        // Only the left button selects lines.
        return button != Qt::LeftButton;
    }
    return FixedDialog::eventFilter(watched, event);
}

} // namespace vantrel
