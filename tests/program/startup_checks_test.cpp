#include "app/qt/startup_checks.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

// Sets an environment variable for one test and puts it back afterwards.
class EnvironmentOverride {
public:
    EnvironmentOverride(const char *name, const QByteArray &value) : name_(name)
    {
        if (qEnvironmentVariableIsSet(name))
            old_ = qgetenv(name);
        qputenv(name, value);
    }
    ~EnvironmentOverride()
    {
        if (old_)
            qputenv(name_, *old_);
        else
            qunsetenv(name_);
    }
    EnvironmentOverride(const EnvironmentOverride &) = delete;
    EnvironmentOverride &operator=(const EnvironmentOverride &) = delete;

private:
    const char *name_;
    std::optional<QByteArray> old_;
};

QStringList qtPlatformFolders()
{
    qunsetenv("QT_QPA_PLATFORM_PLUGIN_PATH");
    return vantrel::platformPluginFolders();
}

} // namespace

class StartupChecksTest : public QObject {
    Q_OBJECT

private slots:
    void requestedPlatforms_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("sessionType");
        QTest::addColumn<QStringList>("platforms");
        QTest::newRow("unset") << QByteArray() << QByteArray() << QByteArray() << QStringList{"xcb"};
        QTest::newRow("one") << QByteArray("offscreen") << QByteArray() << QByteArray() << QStringList{"offscreen"};
        QTest::newRow("options") << QByteArray("xcb:nograb") << QByteArray() << QByteArray() << QStringList{"xcb"};
        QTest::newRow("fallbacks") << QByteArray("wayland;xcb:nograb;") << QByteArray() << QByteArray()
                                   << QStringList{"wayland", "xcb"};
        // Qt's own choice in a Wayland session, and the user's over it.
        QTest::newRow("wayland display") << QByteArray() << QByteArray("wayland-1") << QByteArray("x11")
                                         << QStringList{"wayland", "xcb"};
        QTest::newRow("wayland session") << QByteArray() << QByteArray() << QByteArray("wayland")
                                         << QStringList{"wayland", "xcb"};
        QTest::newRow("asked for") << QByteArray("xcb") << QByteArray("wayland-1") << QByteArray("wayland")
                                   << QStringList{"xcb"};
    }
    void requestedPlatforms()
    {
        QFETCH(QByteArray, variable);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, sessionType);
        QFETCH(QStringList, platforms);
        std::optional<EnvironmentOverride> platform, wayland, session;
        const auto set = [](std::optional<EnvironmentOverride> &override, const char *name, const QByteArray &value) {
            if (value.isNull())
                qunsetenv(name);
            else
                override.emplace(name, value);
        };
        set(platform, "QT_QPA_PLATFORM", variable);
        set(wayland, "WAYLAND_DISPLAY", waylandDisplay);
        set(session, "XDG_SESSION_TYPE", sessionType);
        QCOMPARE(vantrel::requestedPlatforms(), platforms);
    }

    void platformPluginFoldersPutTheUsersFolderFirst()
    {
        const EnvironmentOverride own("QT_QPA_PLATFORM_PLUGIN_PATH", "/opt/own/platforms");
        const QStringList folders = vantrel::platformPluginFolders();
        QVERIFY(folders.size() >= 2);
        QCOMPARE(folders.first(), QStringLiteral("/opt/own/platforms"));
        QVERIFY(folders.at(1).endsWith(QLatin1String("/platforms")));
    }

    void installedPlatformPluginsLoad()
    {
        const auto xcb = vantrel::platformPluginProblem({"xcb"}, qtPlatformFolders());
        QVERIFY2(!xcb, qPrintable(xcb.value_or(QString())));
        // Any one of a list will do, as for Qt.
        QVERIFY(!vantrel::platformPluginProblem({"no-such-platform", "offscreen"}, qtPlatformFolders()));
    }

    void aMissingPlatformPluginIsNamedWithWhereItWasLookedFor()
    {
        QTemporaryDir empty;
        const auto xcb = vantrel::platformPluginProblem({"xcb"}, {empty.path()});
        QVERIFY(xcb);
        QCOMPARE(*xcb, QStringLiteral("cannot start: Qt's platform plugin \"xcb\" is missing (looked in %1); "
                                      "it comes with the package libqt6gui6")
                           .arg(empty.path()));

        const auto others = vantrel::platformPluginProblem({"wayland", "eglfs"}, {empty.path(), "/nowhere"});
        QVERIFY(others);
        QCOMPARE(*others, QStringLiteral("cannot start: Qt's platform plugin \"wayland\" or \"eglfs\" is missing "
                                         "(looked in %1, /nowhere)")
                              .arg(empty.path()));

        // Plugins for other platforms don't count.
        QVERIFY(vantrel::platformPluginProblem({"no-such-platform"}, qtPlatformFolders()));
    }

    void aPlatformPluginThatCannotLoadIsNamedWithTheReason()
    {
        const auto problem = vantrel::platformPluginProblem({"vantrel-broken"}, {BROKEN_PLUGIN_FOLDER});
        QVERIFY(problem);
        QVERIFY2(problem->startsWith(QLatin1String("cannot start: cannot load Qt's platform plugin: ")),
                 qPrintable(*problem));
        // The library the plugin misses.
        QVERIFY2(problem->contains(QLatin1String("libvantrel_vanishing.so")), qPrintable(*problem));
        QVERIFY(!problem->contains(QLatin1Char('\n')));
    }

    void theDesignFontsAreFoundWhereInstalled() { QCOMPARE(vantrel::missingFonts(), QStringList()); }

    void mimeDatabaseIsLookedForInTheDataFolders()
    {
        QTemporaryDir home, system;
        const EnvironmentOverride dataHome("XDG_DATA_HOME", home.path().toUtf8());
        const EnvironmentOverride dataDirs("XDG_DATA_DIRS", system.path().toUtf8());
        QVERIFY(!vantrel::mimeDatabaseInstalled());

        QVERIFY(QDir(system.path()).mkpath("mime"));
        QFile cache(system.filePath("mime/mime.cache"));
        QVERIFY(cache.open(QIODevice::WriteOnly));
        cache.close();
        QVERIFY(vantrel::mimeDatabaseInstalled());
    }

    void aMissingWebsiteHelperIsNamed()
    {
        QTemporaryDir folder;
        const QString helper = folder.filePath("vantrel-website");
        QCOMPARE(*vantrel::missingWebsiteHelper(helper),
                 QStringLiteral("the website window's program %1 is missing; \"Website\" in the about window opens "
                                "nothing")
                     .arg(helper));

        QFile file(helper);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(vantrel::missingWebsiteHelper(helper)); // there, but it can't run
        QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
        QVERIFY(!vantrel::missingWebsiteHelper(helper));
    }
};

QTEST_MAIN(StartupChecksTest)
#include "startup_checks_test.moc"
