#include "message_box_driver.h"
#include "support/recording_opener.h"

#include "windows/design/product_texts.h"
#include "windows/qt/frmAbout.h"
#include "windows/qt/qt_text.h"
#include "windows/qt/single_window.h"
#include "windows/qt/twips.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using vantrel::frmAbout;
using vantrel::SingleWindow;
using vantrel::twipsRect;
using vantrel::test::MessageBoxDriver;
using vantrel::test::RecordingOpener;

Q_DECLARE_METATYPE(QList<QMessageBox::StandardButton>)

namespace {

template <class Widget = QLabel>
Widget *child(QWidget *window, const char *name)
{
    auto *widget = window->findChild<Widget *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

// A 64 by 128 logo, as the configuration window carries it.
QPixmap logo()
{
    QPixmap pixmap(64, 128);
    pixmap.fill(Qt::darkGray);
    return pixmap;
}

void verifyFont(const QWidget *widget, const char *family, double pointSize, bool bold = false, bool underline = false)
{
    QCOMPARE(widget->font().family(), QString::fromLatin1(family));
    QCOMPARE(widget->font().pointSizeF(), pointSize);
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(widget->font().underline(), underline);
}

// A label sized to its text keeps its designed place.
void verifySizedToText(const QLabel *label, QPoint topLeft)
{
    QCOMPARE(label->pos(), topLeft);
    QCOMPARE(label->size(), label->sizeHint());
}

const QColor kBlue(0, 0, 255);

} // namespace

class FrmAboutTest : public QObject {
    Q_OBJECT

private slots:
    void init() { opener.opened.clear(); }

    void layoutFollowsTheDesign()
    {
        frmAbout window(logo(), opener);

        QCOMPARE(window.windowTitle(), QStringLiteral("About Vantrel"));
        QCOMPARE(window.size(), QSize(286, 254));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        const auto flags = window.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!(flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));

        auto *Label1 = child(&window, "Label1");
        QCOMPARE(Label1->text(), QStringLiteral("Vantrel\u2122"));
        verifySizedToText(Label1, twipsRect(1080, 0, 0, 0).topLeft());
        verifyFont(Label1, "Comic Sans MS", 24, true);
        QCOMPARE(Label1->palette().color(QPalette::WindowText), kBlue);

        auto *imgImage = child(&window, "imgImage");
        QCOMPARE(imgImage->geometry(), twipsRect(120, 180, 480, 960));
        QCOMPARE(imgImage->size(), QSize(32, 64));
        QVERIFY(imgImage->hasScaledContents());
        QCOMPARE(imgImage->pixmap().size(), QSize(64, 128));

        auto *Label2 = child(&window, "Label2");
        QCOMPARE(Label2->geometry(), twipsRect(660, 660, 3615, 795));
        QCOMPARE(Label2->text(), vantrel::toQString(vantrel::design::kRightsNotice));
        QVERIFY(Label2->wordWrap());
        QVERIFY(Label2->alignment() & Qt::AlignHCenter);
        verifyFont(Label2, "Comic Sans MS", 9.75, true);

        verifySizedToText(child(&window, "Label5"), twipsRect(1853, 1320, 0, 0).topLeft());
        verifyFont(child(&window, "Label5"), "MS Sans Serif", 8.25);

        auto *Label3 = child(&window, "Label3");
        QCOMPARE(Label3->geometry(), twipsRect(120, 1560, 4095, 1335));
        QVERIFY(Label3->text().startsWith(QStringLiteral("Special thanks to everyone that helped me with this app.")));
        QVERIFY(Label3->text().endsWith(QStringLiteral("If you have any comments or suggestions, send them to:")));
        QVERIFY(Label3->wordWrap());
        verifyFont(Label3, "Comic Sans MS", 8.25);

        auto *Label4 = child(&window, "Label4");
        QCOMPARE(Label4->text(), vantrel::toQString(vantrel::design::kContactAddress));
        verifySizedToText(Label4, twipsRect(1185, 2940, 0, 0).topLeft());
        verifyFont(Label4, "MS Sans Serif", 8.25, false, true);
        QCOMPARE(Label4->palette().color(QPalette::WindowText), kBlue);

        auto *cmdWebsite = child<QPushButton>(&window, "cmdWebsite");
        QCOMPARE(cmdWebsite->geometry(), twipsRect(60, 3240, 1215, 495));
        QCOMPARE(cmdWebsite->text(), QStringLiteral("&Website"));
        verifyFont(cmdWebsite, "Comic Sans MS", 12, true);
        QVERIFY(cmdWebsite->isDefault());
        auto *cmdOK = child<QPushButton>(&window, "cmdOK");
        QCOMPARE(cmdOK->geometry(), twipsRect(3060, 3240, 1215, 495));
        QCOMPARE(cmdOK->text(), QStringLiteral("&OK"));
        verifyFont(cmdOK, "Comic Sans MS", 12, true);

        // OK comes first, so it has the focus as the window opens.
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.focusWidget(), cmdOK);
        QTest::keyClick(cmdOK, Qt::Key_Tab);
        QCOMPARE(window.focusWidget(), cmdWebsite);
    }

    // The minor number is not widened and no revision follows.
    void versionLine()
    {
        frmAbout window(logo(), opener);
        QCOMPARE(child(&window, "Label5")->text(), QStringLiteral("Version: 2.0"));
    }

    void hiddenDialogue_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
        QTest::addColumn<QStringList>("texts");
        const QString first = QStringLiteral("MAH! You found a easter egg! Don't you feel special?!");
        QTest::newRow("without Control") << Qt::KeyboardModifiers() << QList<QMessageBox::StandardButton>()
                                         << QStringList();
        QTest::newRow("Shift is not Control")
            << Qt::KeyboardModifiers(Qt::ShiftModifier) << QList<QMessageBox::StandardButton>() << QStringList();
        QTest::newRow("Yes") << Qt::KeyboardModifiers(Qt::ControlModifier)
                             << QList<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::Ok}
                             << QStringList{first, QStringLiteral("Good for you! Nobody cares!")};
        QTest::newRow("No") << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)
                            << QList<QMessageBox::StandardButton>{QMessageBox::No, QMessageBox::Ok}
                            << QStringList{first, QStringLiteral("Don't put yourself down like that! Oh wait, go "
                                                                 "ahead, I don't care!")};
        // Escape answers No, as it does in any box with a No button.
        QTest::newRow("Escape") << Qt::KeyboardModifiers(Qt::ControlModifier)
                                << QList<QMessageBox::StandardButton>{MessageBoxDriver::pressEscape, QMessageBox::Ok}
                                << QStringList{first, QStringLiteral("Don't put yourself down like that! Oh wait, go "
                                                                     "ahead, I don't care!")};
    }

    void hiddenDialogue()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QList<QMessageBox::StandardButton>, answers);
        QFETCH(QStringList, texts);
        frmAbout window(logo(), opener);
        window.show();

        MessageBoxDriver driver(answers);
        QTest::mouseClick(child(&window, "imgImage"), Qt::LeftButton, modifiers);

        QCOMPARE(driver.unexpected(), 0);
        QStringList seenTexts;
        for (const auto &box : driver.seen()) {
            seenTexts << box.text;
            QCOMPARE(box.title, QStringLiteral("Vantrel"));
            QCOMPARE(box.icon, QMessageBox::NoIcon);
        }
        QCOMPARE(seenTexts, texts);
        if (!texts.isEmpty()) {
            QCOMPARE(driver.seen()[0].buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(driver.seen()[1].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
        QVERIFY(opener.opened.empty());
    }

    void addressOpensANewMail()
    {
        frmAbout window(logo(), opener);
        QTest::mouseClick(child(&window, "Label4"), Qt::LeftButton);
        QCOMPARE(opener.opened, std::vector<std::u16string>{u"mailto:vantrel@morvask.example"});
    }

    void websiteRunsItsHook()
    {
        int shown = 0;
        frmAbout window(logo(), opener, [&shown] { ++shown; });
        QTest::mouseClick(child<QPushButton>(&window, "cmdWebsite"), Qt::LeftButton);
        QCOMPARE(shown, 1);

        // Until a website window is plugged in, the button does nothing (and
        // in particular does not call an empty hook).
        frmAbout unhooked(logo(), opener);
        QTest::mouseClick(child<QPushButton>(&unhooked, "cmdWebsite"), Qt::LeftButton);
    }

    // OK destroys the window; the close request alone does not.
    void okEndsTheWindow()
    {
        SingleWindow<frmAbout> about([this] { return new frmAbout(logo(), opener); });
        QPointer<frmAbout> window = about.show();
        QVERIFY(!window->close());

        QTest::mouseClick(child<QPushButton>(window, "cmdOK"), Qt::LeftButton);
        QVERIFY(!about.window());
        QTRY_VERIFY(window.isNull());
        QCOMPARE(child(about.show(), "Label5")->text(), QStringLiteral("Version: 2.0"));
    }

private:
    RecordingOpener opener;
};

QTEST_MAIN(FrmAboutTest)
#include "frmAbout_test.moc"
