#include "message_box_driver.h"
#include "support/idle_keys.h"
#include "support/recording_opener.h"

#include "bindings/binding_set.h"
#include "support/registry_test_env.h"
#include "windows/qt/frmKeys.h"
#include "windows/qt/message_box.h"
#include "windows/qt/single_window.h"
#include "windows/qt/text_end_label.h"
#include "windows/qt/twips.h"

#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using vantrel::BindingSet;
using vantrel::frmKeys;
using vantrel::SingleWindow;
using vantrel::twipsRect;
using vantrel::platform::FunctionKey;
using vantrel::test::MessageBoxDriver;
using vantrel::test::RecordingOpener;

namespace {

template <class Widget>
Widget *child(QWidget *window, const char *name)
{
    auto *widget = window->findChild<Widget *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

QListWidget *list(QWidget *window) { return child<QListWidget>(window, "lstKeys"); }
QString shownName(QWidget *window) { return child<QLabel>(window, "lblExeName")->text(); }

QStringList lines(QWidget *window)
{
    QStringList result;
    for (int row = 0; row < list(window)->count(); ++row)
        result << list(window)->item(row)->text();
    return result;
}

void clickLine(QWidget *window, int row, Qt::MouseButton button = Qt::LeftButton)
{
    QListWidget *lst = list(window);
    QTest::mouseClick(lst->viewport(), button, {}, lst->visualItemRect(lst->item(row)).center());
}

// Where the focus goes, from where it is when the window opens, on each Tab.
QStringList focusOrder(QWidget *window)
{
    QStringList order;
    for (int step = 0; step < 4; ++step) {
        order << window->focusWidget()->objectName();
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
    }
    return order;
}

void pressExecute(QWidget *window) { QTest::mouseClick(child<QPushButton>(window, "cmdExecute"), Qt::LeftButton); }

} // namespace

class FrmKeysTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        bindings = BindingSet();
        desktopKeys = vantrel::test::IdleKeys();
        opener.opened.clear();
    }

    void layoutFollowsTheDesign()
    {
        frmKeys window(bindings, desktopKeys, opener);

        QCOMPARE(window.windowTitle(), QStringLiteral("View Key Configuration"));
        QCOMPARE(window.size(), QSize(356, 169));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(window.font().pointSizeF(), 8.25);
        const auto flags = window.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(!(flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));

        QListWidget *lst = list(&window);
        auto *cmdClose = child<QPushButton>(&window, "cmdClose");
        auto *cmdExecute = child<QPushButton>(&window, "cmdExecute");
        auto *lblExeName = child<QLabel>(&window, "lblExeName");
        QCOMPARE(lst->geometry(), twipsRect(60, 60, 5235, 1815));
        QCOMPARE(lst->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(!lst->isSortingEnabled());
        QCOMPARE(cmdClose->geometry(), twipsRect(4080, 1980, 1215, 495));
        QCOMPARE(cmdClose->text(), QStringLiteral("Close"));
        QVERIFY(cmdClose->isDefault());
        QCOMPARE(cmdExecute->geometry(), twipsRect(2760, 1980, 1215, 495));
        QCOMPARE(cmdExecute->text(), QStringLiteral("Execute"));
        QVERIFY(!cmdExecute->isDefault());
        QCOMPARE(lblExeName->geometry(), twipsRect(60, 2040, 2595, 375));
        QCOMPARE(lblExeName->frameShape(), QFrame::Box);
        QVERIFY(lblExeName->alignment() & Qt::AlignHCenter);
        QCOMPARE(lblExeName->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(lblExeName->font().pointSizeF(), 12.0);

        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(focusOrder(&window), QStringList({"lstKeys", "cmdClose", "cmdExecute", "lstKeys"}));
    }

    // One line per key, F6 first: the label padded to six characters and the
    // path copy right after it, nothing selected and no name shown.
    void listsThePathCopies()
    {
        bindings.browse(FunctionKey::F6, u"/home/u/notes.txt");
        bindings.browse(FunctionKey::F10, u"  spaced path ");
        frmKeys window(bindings, desktopKeys, opener);

        QCOMPARE(lines(&window), QStringList({"F6    /home/u/notes.txt", "F7    ", "F8    ", "F9    ",
                                              "F10     spaced path ", "F11   ", "F12   "}));
        QVERIFY(list(&window)->selectedItems().isEmpty());
        QCOMPARE(shownName(&window), QString());
    }

    // A key the desktop fires through another trigger says so on its line.
    void linesNoteAnotherTrigger()
    {
        desktopKeys.triggers = {"F6", "Ctrl+F7", ""};
        frmKeys window(bindings, desktopKeys, opener);
        QCOMPARE(list(&window)->item(0)->toolTip(), QString());
        QVERIFY(list(&window)->item(1)->toolTip().contains(QStringLiteral("Ctrl+F7")));
        QVERIFY(list(&window)->item(2)->toolTip().contains(QStringLiteral("no key")));
        QCOMPARE(list(&window)->item(3)->toolTip(), QString());
        QCOMPARE(list(&window)->item(1)->text(), QStringLiteral("F7    "));
    }

    void showsTheFileNamePart_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Linux path") << "/home/u/a.txt"
                                    << "a.txt";
        QTest::newRow("Windows path") << "C:\\Tools\\edit.exe"
                                      << "edit.exe";
        QTest::newRow("backslash after the last slash") << "/mnt/c\\Tools\\edit.exe"
                                                        << "edit.exe";
        QTest::newRow("slash after the last backslash") << "C:\\Users/u/a.txt"
                                                        << "a.txt";
        QTest::newRow("no separator") << "a.txt"
                                      << " a.txt";
        QTest::newRow("empty") << ""
                               << " ";
        QTest::newRow("ends in a slash") << "/home/u/"
                                         << "";
        QTest::newRow("ends in a backslash") << "C:\\Tools\\"
                                             << "";
        QTest::newRow("markup stays text") << "/tmp/<b>bold<b>.txt"
                                           << "<b>bold<b>.txt";
    }

    void showsTheFileNamePart()
    {
        QFETCH(QString, path);
        QFETCH(QString, shown);
        bindings.browse(FunctionKey::F9, path.toStdU16String());
        frmKeys window(bindings, desktopKeys, opener);

        clickLine(&window, 3);
        QCOMPARE(shownName(&window), shown);
        QCOMPARE(child<QLabel>(&window, "lblExeName")->textFormat(), Qt::PlainText);
    }

    // A name too long for the box shows its end there, and all of it in the
    // tooltip.
    void longFileNameShowsItsEnd()
    {
        const QString name = QStringLiteral("a file name long enough to run well past both edges of the box, "
                                            "which shows what matters most: its end.txt");
        bindings.browse(FunctionKey::F8, (QStringLiteral("/home/u/") + name).toStdU16String());
        frmKeys window(bindings, desktopKeys, opener);
        window.show();
        clickLine(&window, 2);

        auto *label = child<vantrel::TextEndLabel>(&window, "lblExeName");
        QCOMPARE(label->text(), name);
        QCOMPARE(label->toolTip(), name);
        // A screen reader reads it whole.
        QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), name);
        const QString shown = label->shownText();
        QVERIFY2(shown.endsWith(QStringLiteral("its end.txt")), qPrintable(shown));
        QVERIFY2(shown.startsWith(QChar(0x2026)), qPrintable(shown));
        QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->contentsRect().width());

        // A short name is shown as it is.
        clickLine(&window, 0);
        QCOMPARE(label->shownText(), QStringLiteral(" "));
    }

    void keyboardSelectionShowsTheNameToo()
    {
        bindings.browse(FunctionKey::F6, u"/a/six");
        bindings.browse(FunctionKey::F7, u"/a/seven");
        frmKeys window(bindings, desktopKeys, opener);

        clickLine(&window, 0);
        QTest::keyClick(list(&window), Qt::Key_Down);
        QCOMPARE(shownName(&window), QStringLiteral("seven"));
    }

    void executeOpensTheSelectedPath()
    {
        bindings.browse(FunctionKey::F8, u"/home/u/run me.sh");
        bindings.browse(FunctionKey::F11, u" lead and trail ");
        frmKeys window(bindings, desktopKeys, opener);

        pressExecute(&window);
        QVERIFY(opener.opened.empty());

        clickLine(&window, 2);
        pressExecute(&window);
        clickLine(&window, 5);
        pressExecute(&window);
        // An unbound key passes its empty path on; the opener ignores it.
        clickLine(&window, 6);
        pressExecute(&window);
        QCOMPARE(opener.opened, (std::vector<std::u16string>{u"/home/u/run me.sh", u" lead and trail ", u""}));
    }

    // The middle button says "mah!" on a line and below the lines alike;
    // no button but the left one selects a line.
    void middleButtonSaysMah()
    {
        bindings.browse(FunctionKey::F6, u"/a/six");
        frmKeys window(bindings, desktopKeys, opener);
        window.show();
        QListWidget *lst = list(&window);

        MessageBoxDriver driver({QMessageBox::Ok, QMessageBox::Ok});
        QTest::mousePress(lst->viewport(), Qt::MiddleButton, Qt::ShiftModifier,
                          lst->visualItemRect(lst->item(0)).center());
        const QPoint belowTheLines(lst->viewport()->width() / 2, lst->viewport()->height() - 1);
        QVERIFY(!lst->itemAt(belowTheLines));
        QTest::mousePress(lst->viewport(), Qt::MiddleButton, {}, belowTheLines);
        QTest::mousePress(lst->viewport(), Qt::RightButton, {}, belowTheLines);
        QTest::mouseDClick(lst->viewport(), Qt::RightButton, {}, lst->visualItemRect(lst->item(0)).center());

        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.unexpected(), 0);
        for (const auto &box : driver.seen()) {
            QCOMPARE(box.text, QStringLiteral("mah!"));
            QCOMPARE(box.title, QStringLiteral("Vantrel"));
            QCOMPARE(box.icon, QMessageBox::NoIcon);
            QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            // Wide enough that the title bar shows "Vantrel" whole, not "Van".
            QVERIFY2(box.width >= vantrel::widthForTitle(box.title, QApplication::font()),
                     qPrintable(QString::number(box.width)));
        }
        QVERIFY(lst->selectedItems().isEmpty());
    }

    // Only Close ends the window: neither the window manager's close request
    // nor Escape does; Enter in the list presses Close.
    void onlyCloseEndsTheWindow()
    {
        SingleWindow<frmKeys> keys([this] { return new frmKeys(bindings, desktopKeys, opener); });
        QPointer<frmKeys> window = keys.show();

        QVERIFY(!window->close());
        QTest::keyClick(list(window), Qt::Key_Escape);
        QVERIFY(window->isVisible());

        QTest::keyClick(list(window), Qt::Key_Return);
        QVERIFY(!keys.window());
        QTRY_VERIFY(window.isNull());
    }

    // The list is a snapshot: a Browse shows only once the window is closed
    // and opened again; showing it while open only brings it to the front.
    // Clearing F12 and saving leaves the old F12 path listed.
    void listIsASnapshotOfThePathCopies()
    {
        bindings.browse(FunctionKey::F6, u"/old/six");
        bindings.browse(FunctionKey::F12, u"/old/twelve");
        SingleWindow<frmKeys> keys([this] { return new frmKeys(bindings, desktopKeys, opener); });
        QPointer<frmKeys> first = keys.show();
        clickLine(first, 0);

        bindings.browse(FunctionKey::F6, u"/new/six");
        bindings.clear(FunctionKey::F12);
        const auto registry = vantrel::test::makeEmptyRegistry();
        QVERIFY(bindings.save(*registry).ok);
        QCOMPARE(keys.show(), first.data());
        QCOMPARE(lines(first).first(), QStringLiteral("F6    /old/six"));
        QCOMPARE(shownName(first), QStringLiteral("six"));

        QTest::mouseClick(child<QPushButton>(first, "cmdClose"), Qt::LeftButton);
        QVERIFY(!keys.window());
        frmKeys *second = keys.show();
        QVERIFY(second != first);
        QCOMPARE(lines(second).first(), QStringLiteral("F6    /new/six"));
        QCOMPARE(lines(second).last(), QStringLiteral("F12   /old/twelve"));
        QVERIFY(list(second)->selectedItems().isEmpty());
        QTRY_VERIFY(first.isNull());
    }

private:
    BindingSet bindings;
    vantrel::test::IdleKeys desktopKeys;
    RecordingOpener opener;
};

QTEST_MAIN(FrmKeysTest)
#include "frmKeys_test.moc"
