// The dialog as a person uses it: the real program in a real X server, typed at with xdotool, judged by
// the report and the settings file it writes and by the viewer it asks for.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString xdotool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(10000) || p.exitCode() != 0) {
        ADD_FAILURE() << "xdotool " << args.join(u' ').toStdString() << ": " << p.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Checks `done` every 20 ms until it holds or `ms` have passed.
bool WaitUntil(const std::function<bool()>& done, int ms = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

QByteArray BytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes, QFile::Permissions perms = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    if (perms)
        f.setPermissions(perms);
}

class DialogE2E : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "runs under Xvfb";
        ASSERT_TRUE(dir.isValid());
        // A copy of the program, so that its settings file is written beside it in this folder.
        program = dir.filePath(QStringLiteral("bin/aracnide"));
        QDir().mkpath(dir.filePath(QStringLiteral("bin")));
        ASSERT_TRUE(QFile::copy(qEnvironmentVariable("ARACNIDE_BIN"), program));
        // The desktop's viewer: a stand-in that notes what it was asked to open.
        WriteFile(dir.filePath(QStringLiteral("tools/xdg-open")),
                  "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$(dirname \"$0\")/../opened.txt\"\n",
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void TearDown() override
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    void Start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"),
                   dir.filePath(QStringLiteral("tools")) + ":" + env.value(QStringLiteral("PATH")));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
        env.remove(QStringLiteral("DESKTOP_SESSION"));
        env.insert(QStringLiteral("HOME"), dir.path());
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.start(program, {});
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    // The dialog's window, focused.
    QString Window()
    {
        QString id;
        WaitUntil([&] {
            QProcess search;
            search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                     QStringLiteral("--pid"), QString::number(process.processId()),
                                                     QStringLiteral("--name"), QStringLiteral("^Aracnide Links$")});
            search.waitForFinished(5000);
            id = QString::fromUtf8(search.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts).value(0);
            return !id.isEmpty();
        });
        if (id.isEmpty())
            ADD_FAILURE() << "no dialog window";
        else
            xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
        return id;
    }

    QTemporaryDir dir;
    QString program;
    QProcess process;
};

TEST_F(DialogE2E, TypedLocationIsCheckedReportedShownAndRemembered)
{
    const QString site = dir.filePath(QStringLiteral("site/"));
    WriteFile(site + "index.htm", R"(<a href="ok.htm">ok</a> <a href="missing.htm">gone</a>)");
    WriteFile(site + "ok.htm", "fine");
    Start();
    const QString win = Window();
    ASSERT_FALSE(win.isEmpty());

    // The location field has the focus when the dialog opens; Enter presses the default button, Start.
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"), site + "index.htm"});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});

    const QString opened = dir.filePath(QStringLiteral("opened.txt"));
    ASSERT_TRUE(WaitUntil([&] { return !BytesOf(opened).isEmpty(); })) << "the report is handed to the viewer";
    EXPECT_EQ(BytesOf(opened).trimmed(),
              QUrl::fromLocalFile(dir.filePath(QStringLiteral("ARACNIDE.LOG"))).toString().toUtf8());

    const QByteArray log = BytesOf(dir.filePath(QStringLiteral("ARACNIDE.LOG")));
    EXPECT_TRUE(log.startsWith("Aracnide 1.20 report, ")) << log.toStdString();
    EXPECT_TRUE(log.contains("missing.htm")) << log.toStdString();
    EXPECT_FALSE(log.contains("ok.htm")) << "a report of errors only";

    const QByteArray ini = BytesOf(dir.filePath(QStringLiteral("bin/ARACNIDE.INI")));
    const QByteArray path = (site + "index.htm").toUtf8();
    EXPECT_TRUE(ini.contains("[Init]\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("\r\nURL=" + path + "\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("\r\nTimeout=15\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("\r\nbRLS=1\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("[UrlList]\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("\r\nurl1=" + path + "\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("\r\nUrlNumber=1\r\n")) << ini.toStdString();

    // Escape is the Quit command.
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), win});
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    ASSERT_TRUE(process.waitForFinished(10000)) << "the dialog ends";
}

TEST_F(DialogE2E, ACommandLineBecomesTheLastLocation)
{
    WriteFile(dir.filePath(QStringLiteral("bin/ARACNIDE.INI")), "[UrlList]\r\nUrlNumber=1\r\nurl1=http://old.dom/\r\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir.path());
    process.start(program, {QStringLiteral("http://given.dom/")});
    ASSERT_TRUE(process.waitForStarted(10000));
    const QString win = Window();
    ASSERT_FALSE(win.isEmpty());
    EXPECT_TRUE(
        BytesOf(dir.filePath(QStringLiteral("bin/ARACNIDE.INI"))).contains("[Init]\r\nURL=http://given.dom/\r\n"));
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 1) << "the exit code of an intact guard";
}

}  // namespace
