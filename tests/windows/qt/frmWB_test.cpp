#include "support/recording_sound.h"
#include "website/web_engine_setup.h"
#include "windows/qt/fonts.h"
#include "windows/qt/frmWB.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>

using vantrel::frmWB;
using vantrel::test::RecordingSound;

namespace {

constexpr int loadTimeoutMs = 15000;
const QString homeTitle = QStringLiteral(u"Morvak\u2122 Homepage Coming Soon...");

QUrl shippedPage(const char *name)
{
    return QUrl::fromLocalFile(QStringLiteral(VANTREL_SOURCE_DATA_DIR "/website/") + QLatin1String(name));
}

// Local pages written for one test.
class Pages {
public:
    QUrl write(const QString &name, const QString &title, const QString &body = QString())
    {
        QFile file(dir_.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
        const QString html = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title>"
                                            "</head><body>%2</body></html>")
                                 .arg(title, body);
        file.write(html.toUtf8());
        return QUrl::fromLocalFile(file.fileName());
    }

    QUrl missing() const { return QUrl::fromLocalFile(dir_.filePath(QStringLiteral("missing.html"))); }

private:
    QTemporaryDir dir_;
};

// The window deletes itself when closed; whatever is left at the end of a
// test goes here.
struct OpenWindow {
    OpenWindow(const QUrl &address, RecordingSound &sound) : window(new frmWB(address, sound, QIcon())) {}
    ~OpenWindow() { delete window.data(); }
    frmWB *operator->() const { return window.data(); }

    QPointer<frmWB> window;
};

// Runs navigate and waits for the page it starts to finish loading.
bool finishesLoading(frmWB &window, const std::function<void()> &navigate)
{
    QSignalSpy finished(window.WB1->page(), &QWebEnginePage::loadFinished);
    navigate();
    return finished.wait(loadTimeoutMs);
}

} // namespace

class frmWB_test : public QObject {
    Q_OBJECT

private slots:
    void captionFollowsEachFinishedDocument()
    {
        Pages pages;
        const QUrl first = pages.write(QStringLiteral("first.html"), QStringLiteral("First page"));
        pages.write(QStringLiteral("frame.html"), QStringLiteral("Inner frame"));
        const QUrl framed = pages.write(QStringLiteral("framed.html"), QStringLiteral("Framed page"),
                                        QStringLiteral("<iframe src=\"frame.html\"></iframe>"));
        RecordingSound sound;
        OpenWindow window(first, sound);
        QCOMPARE(window->windowTitle(), QStringLiteral("Morvask Website"));

        QVERIFY(finishesLoading(*window.window, [&] { window->Form_Load(); }));
        QCOMPARE(window->windowTitle(), QStringLiteral("Morvask Website - First page"));

        // The engine reports the page, not its frames: the page's title holds.
        QVERIFY(finishesLoading(*window.window, [&] { window->WB1->load(framed); }));
        QCOMPARE(window->windowTitle(), QStringLiteral("Morvask Website - Framed page"));

        // A page that cannot be loaded finishes on the engine's error page.
        QVERIFY(finishesLoading(*window.window, [&] { window->WB1->load(pages.missing()); }));
        QVERIFY(window->windowTitle().startsWith(QStringLiteral("Morvask Website - ")));
        QVERIFY(window->windowTitle() != QStringLiteral("Morvask Website - Framed page"));
    }

    void backAndForwardFollowTheHistory()
    {
        RecordingSound sound;
        OpenWindow window(shippedPage("index.html"), sound);
        QVERIFY(window->cmdBack->isEnabled());
        QVERIFY(window->cmdForward->isEnabled());

        QVERIFY(finishesLoading(*window.window, [&] { window->Form_Load(); }));
        QTRY_VERIFY(!window->cmdBack->isEnabled());
        QTRY_VERIFY(!window->cmdForward->isEnabled());

        // On to the second shipped page, the target of the home page's link.
        // (A link followed by a script, without the user's click, would be
        // skipped by Back: the engine guards its history against such pages.)
        QVERIFY(finishesLoading(*window.window, [&] { window->WB1->load(shippedPage("vantrel.html")); }));
        QCOMPARE(window->windowTitle(), QStringLiteral(u"Morvask Website - Vantrel - Morvask\u2122"));
        QTRY_VERIFY(window->cmdBack->isEnabled());
        QVERIFY(!window->cmdForward->isEnabled());

        QVERIFY(finishesLoading(*window.window, [&] { QTest::mouseClick(window->cmdBack, Qt::LeftButton); }));
        QCOMPARE(window->windowTitle(), QStringLiteral("Morvask Website - ") + homeTitle);
        QTRY_VERIFY(window->cmdForward->isEnabled());
        QTRY_VERIFY(!window->cmdBack->isEnabled());

        QVERIFY(finishesLoading(*window.window, [&] { QTest::mouseClick(window->cmdForward, Qt::LeftButton); }));
        QTRY_VERIFY(window->cmdBack->isEnabled());
        QTRY_VERIFY(!window->cmdForward->isEnabled());

        // The site button goes home on top of the history, which stays.
        QVERIFY(finishesLoading(*window.window, [&] { QTest::mouseClick(window->cmdMorvaskSite, Qt::LeftButton); }));
        QCOMPARE(window->windowTitle(), QStringLiteral("Morvask Website - ") + homeTitle);
        QTRY_VERIFY(window->cmdBack->isEnabled());
        QVERIFY(!window->cmdForward->isEnabled());
    }

    void trumpetGreetsTheExactTitleOnly_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("plays");
        QTest::newRow("exact") << homeTitle << 1;
        QTest::newRow("one dot short") << QStringLiteral(u"Morvak\u2122 Homepage Coming Soon..") << 0;
        QTest::newRow("lower case") << QStringLiteral(u"morvak\u2122 homepage coming soon...") << 0;
        QTest::newRow("maker's spelling") << QStringLiteral(u"Morvask\u2122 Homepage Coming Soon...") << 0;
        QTest::newRow("no trademark sign") << QStringLiteral("Morvak Homepage Coming Soon...") << 0;
    }

    void trumpetGreetsTheExactTitleOnly()
    {
        QFETCH(QString, title);
        QFETCH(int, plays);
        Pages pages;
        RecordingSound sound;
        OpenWindow window(pages.write(QStringLiteral("page.html"), title.toHtmlEscaped()), sound);
        QVERIFY(finishesLoading(*window.window, [&] { window->Form_Load(); }));
        QCOMPARE(sound.played, std::vector<std::string>(plays, "trumpet1.wav"));

        // Every finished document of the page plays it again.
        QVERIFY(finishesLoading(*window.window, [&] { QTest::mouseClick(window->cmdRefresh, Qt::LeftButton); }));
        QCOMPARE(sound.played, std::vector<std::string>(2 * plays, "trumpet1.wav"));
    }

    void shippedHomePageGreetsWithTheTrumpet()
    {
        RecordingSound sound;
        OpenWindow window(shippedPage("index.html"), sound);
        QVERIFY(finishesLoading(*window.window, [&] { window->Form_Load(); }));
        QCOMPARE(window->windowTitle(), QStringLiteral("Morvask Website - ") + homeTitle);
        QCOMPARE(sound.played, std::vector<std::string>{"trumpet1.wav"});
    }

    void layoutFollowsTheClientArea()
    {
        RecordingSound sound;
        OpenWindow window(QUrl(), sound);
        const QRect closeButton = window->cmdClose->geometry();
        const QRect siteButton = window->cmdMorvaskSite->geometry();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.window));

        // At the designed client area of 8880 by 5190 twips.
        QCOMPARE(window->size(), QSize(592, 346));
        QCOMPARE(window->WB1->geometry(), QRect(4, 4, 587, 300));
        QCOMPARE(window->picButtons->geometry(), QRect(4, 307, 587, 37));
        QCOMPARE(window->cmdSpace[1]->geometry(), QRect(582, 2, 587, 33));

        window->resize(800, 600);
        QTRY_COMPARE(window->WB1->geometry(), QRect(4, 4, 795, 554));
        QCOMPARE(window->picButtons->geometry(), QRect(4, 561, 795, 37));
        QCOMPARE(window->cmdSpace[1]->width(), 795);
        QCOMPARE(window->cmdClose->geometry(), closeButton);
        QCOMPARE(window->cmdMorvaskSite->geometry(), siteButton);

        // Below the minimum a dimension snaps back; the other one stays.
        window->resize(300, 600);
        QTRY_COMPARE(window->size(), QSize(592, 600));
        QCOMPARE(window->WB1->geometry(), QRect(4, 4, 587, 554));
        window->resize(700, 100);
        QTRY_COMPARE(window->size(), QSize(700, 346));
        QCOMPARE(window->picButtons->geometry(), QRect(4, 307, 695, 37));
    }

    void browserHasTheFocusWhenTheWindowOpens()
    {
        RecordingSound sound;
        OpenWindow window(shippedPage("index.html"), sound);
        QVERIFY(finishesLoading(*window.window, [&] {
            window->Form_Load();
            window->show();
        }));
        QVERIFY(QTest::qWaitForWindowActive(window.window));
        QWidget *focus = window->focusWidget();
        QVERIFY(focus == window->WB1 || window->WB1->isAncestorOf(focus) || focus == window->WB1->focusProxy());
    }

    void closeDestroysTheWindow()
    {
        RecordingSound sound;
        OpenWindow window(QUrl(), sound);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.window));
        QTest::mouseClick(window->cmdClose, Qt::LeftButton);
        QTRY_VERIFY(window.window.isNull());
    }
};

int main(int argc, char *argv[])
{
    vantrel::prepareWebEngine();
    QApplication app(argc, argv);
    vantrel::installFontSubstitutions();
    frmWB_test test;
    return QTest::qExec(&test, argc, argv);
}

#include "frmWB_test.moc"
