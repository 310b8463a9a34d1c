#include "zShowApp.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QProcess>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QWidget>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace travaso {

namespace {

TEST(ShowAppTest, ShortDateYearLength)
{
    EXPECT_EQ(FourDigitYear("dd/MM/yy"), "dd/MM/yyyy");
    EXPECT_EQ(FourDigitYear("d.M.yyyy"), "d.M.yyyy");
    EXPECT_EQ(FourDigitYear("y-MM-dd yy"), "yyyy-MM-dd yy");  // only the first run
    EXPECT_EQ(FourDigitYear("dd/MM"), "dd/MM");
    EXPECT_EQ(TwoDigitYear("dd/MM/yyyy"), "dd/MM/yy");
    EXPECT_EQ(TwoDigitYear("yyy"), "yy");
    EXPECT_EQ(TwoDigitYear("dd/MM/yy"), "dd/MM/yy");
    EXPECT_EQ(TwoDigitYear(FourDigitYear("dd/MM/yy")), "dd/MM/yy");
}

TEST(ShowAppTest, ShortDateSettingRewritesTheProcessFormatAndPutsItBack)
{
    SetShortDateFormat("dd/MM/yy");
    QWidget form;
    TzShowApp showApp(&form);
    showApp.SetShortDate(sdf4DigitYear);
    EXPECT_EQ(ShortDateFormat(), "dd/MM/yyyy");
    showApp.SetShortDate(sdf2DigitYear);
    EXPECT_EQ(ShortDateFormat(), "dd/MM/yy");
    SetShortDateFormat("yyyy-MM-dd");
    showApp.SetShortDate(sdfDontTouch);
    EXPECT_EQ(ShortDateFormat(), "dd/MM/yy");
}

TEST(ShowAppTest, StartupShowCommands)
{
    for (int command : {2, 6, 7})
        EXPECT_EQ(ShowStateFor(command), Qt::WindowMinimized);
    EXPECT_EQ(ShowStateFor(3), Qt::WindowMaximized);
    for (int command : {0, 1, 4, 5, 8, 9, 10})
        EXPECT_EQ(ShowStateFor(command), Qt::WindowNoState);
    EXPECT_EQ(StartupShowCommand({"travaso", "-iconic"}), 7);
    EXPECT_EQ(StartupShowCommand({"travaso", "-maximized"}), 3);
    EXPECT_EQ(StartupShowCommand({"travaso"}), 1);
}

TEST(ShowAppTest, NeedsAForm)
{
    QObject loose;
    try {
        TzShowApp showApp(&loose);
        ADD_FAILURE() << "made without a form";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "NoForm");
    }
}

TEST(ShowAppTest, SettingsGoToTheApplication)
{
    const QString name = QCoreApplication::applicationName();
    QWidget form;
    TzShowApp showApp(&form);
    showApp.SetTitle("Travaso");
    EXPECT_EQ(QCoreApplication::applicationName(), "Travaso");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Travaso");  // Qt's fallback; nothing added to titles
    showApp.SetHintColor(QColor(255, 255, 0));
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(255, 255, 0));
    showApp.SetHintPause(900);
    EXPECT_EQ(showApp.HintPause(), 900);
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 900);
    TzShowApp another(&form);  // a second component reads what the first wrote
    EXPECT_EQ(another.HintPause(), 900);
    showApp.SetHint("Travaso v3.03");
    EXPECT_EQ(another.Hint(), "Travaso v3.03");
    QCoreApplication::setApplicationName(name);
}

TEST(ShowAppTest, HintsOffShowNoToolTip)
{
    QWidget form;
    form.setToolTip("suggerimento");
    form.resize(100, 100);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TzShowApp showApp(&form);
    int asked = 0;
    QObject::connect(&showApp, &TzShowApp::OnShowHint, &showApp, [&](QString& text, bool&, QWidget*) {
        ++asked;
        text = "cambiato";
    });
    showApp.SetShowHint(false);
    QHelpEvent off(QEvent::ToolTip, QPoint(10, 10), form.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&form, &off);
    EXPECT_FALSE(QToolTip::isVisible());
    EXPECT_EQ(asked, 0);
    showApp.SetShowHint(true);
    QHelpEvent on(QEvent::ToolTip, QPoint(10, 10), form.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&form, &on);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "cambiato");
    QToolTip::hideText();
}

TEST(ShowAppTest, EndOfSessionAnswer)
{
    QWidget form;
    TzShowApp showApp(&form);
    EXPECT_TRUE(showApp.AskEndSession());
    QObject::connect(&showApp, &TzShowApp::OnAskEndSession, &showApp, [](TzShowApp*, bool& doEnd) { doEnd = false; });
    EXPECT_FALSE(showApp.AskEndSession());
}

TEST(ShowAppTest, AMessageFromASecondStartRestoresTheForm)
{
    QWidget form;
    form.resize(100, 100);
    TzShowApp showApp(&form);
    showApp.SetOnlyOneInstance(true);
    QSignalSpy another(&showApp, &TzShowApp::OnAnotherInstance);
    form.showMinimized();
    ASSERT_TRUE(form.isMinimized());
    showApp.AnotherInstance();
    EXPECT_EQ(another.count(), 1);
    EXPECT_FALSE(form.isMinimized());
    EXPECT_TRUE(form.isVisible());
    showApp.SetOnlyOneInstance(false);  // without the rule the message is not answered
    showApp.AnotherInstance();
    EXPECT_EQ(another.count(), 1);
}

TEST(ShowAppTest, MachineFacts)
{
    QWidget form;
    TzShowApp showApp(&form);
    EXPECT_EQ(showApp.IPHostName(), "-Unknown-");
    EXPECT_EQ(showApp.IPHostAddress(), "-Unknown-");
    EXPECT_EQ(showApp.WindowKind(), z_Linux);
    EXPECT_TRUE(showApp.WindowsString().startsWith("Linux ")) << showApp.WindowsString().toStdString();
    EXPECT_FALSE(showApp.UserName().isEmpty());
    EXPECT_FALSE(showApp.CPUVendor().isEmpty());
    EXPECT_EQ(showApp.NumberOfColors(), std::pow(2.0, showApp.BitsPerColor()));
    setenv("TMPDIR", "/", 1);
    EXPECT_EQ(showApp.TempDir(), "/");
    setenv("TMPDIR", "/var/tmp//", 1);
    EXPECT_EQ(showApp.TempDir(), "/var/tmp");
    unsetenv("TMPDIR");
    setenv("TRAVASO_SHOWAPP_TEST", "1", 1);
    EXPECT_FALSE(showApp.EnvironmentLines().contains("TRAVASO_SHOWAPP_TEST=1"));
    showApp.Loaded();  // loading reads the environment again
    EXPECT_TRUE(showApp.EnvironmentLines().contains("TRAVASO_SHOWAPP_TEST=1"));
    unsetenv("TRAVASO_SHOWAPP_TEST");
}

// Copies of the probe program started as real processes, meeting in a private runtime directory.
class TwoProcesses : public ::testing::Test {
protected:
    // A copy of the probe at dir/name/probe, so that each test has executables of its own.
    QString Copy(const QString& name)
    {
        const QString path = dir.path() + "/" + name + "/probe";
        QDir().mkpath(dir.path() + "/" + name);
        if (!QFile::exists(path)) {
            EXPECT_TRUE(QFile::copy(PROBE_BINARY, path));
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        return path;
    }

    QProcess& Start(const QString& exe, const QStringList& args = {})
    {
        auto& p = *processes.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::SeparateChannels);
        p.start(exe, args);
        EXPECT_TRUE(p.waitForStarted(10000));
        return p;
    }

    // The next line the process prints, waited for with a bound; empty when none comes.
    static QString Line(QProcess& p, int ms = 20000)
    {
        QDeadlineTimer deadline(ms);
        while (!p.canReadLine() && !deadline.hasExpired())
            if (!p.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
                break;
        return p.canReadLine() ? QString::fromUtf8(p.readLine()).trimmed() : QString();
    }

    static bool Ends(QProcess& p)
    {
        return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    void TearDown() override
    {
        for (auto& p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(10000);
            }
        }
    }

    QTemporaryDir dir;
    QTemporaryDir runtime;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(TwoProcesses, SecondStartEndsOffScreenAndTheFirstComesToTheFront)
{
    const QString exe = Copy("a");
    QProcess& first = Start(exe, {"--minimized"});
    ASSERT_EQ(Line(first), "first");
    QProcess& second = Start(exe);
    EXPECT_EQ(Line(second), "second -210");  // left := -width - 10
    EXPECT_TRUE(Ends(second));
    EXPECT_EQ(Line(first), "another");
    EXPECT_EQ(Line(first), "front 0 1");  // restored from minimised
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(TwoProcesses, CopiesAtOtherPathsRunSideBySide)
{
    QProcess& a = Start(Copy("a"));
    ASSERT_EQ(Line(a), "first");
    QProcess& b = Start(Copy("b"));
    EXPECT_EQ(Line(b), "first");
    EXPECT_EQ(b.state(), QProcess::Running);
}

TEST_F(TwoProcesses, ASecondStartThatDeclinesLeavesTheFirstAlone)
{
    const QString exe = Copy("a");
    QProcess& first = Start(exe);
    ASSERT_EQ(Line(first), "first");
    QProcess& declining = Start(exe, {"--leave"});
    EXPECT_TRUE(Line(declining).startsWith("second"));
    EXPECT_TRUE(Ends(declining));
    // A later ordinary second start is the first message the first one receives.
    QProcess& second = Start(exe);
    EXPECT_TRUE(Line(second).startsWith("second"));
    EXPECT_TRUE(Ends(second));
    EXPECT_EQ(Line(first), "another");
    EXPECT_EQ(Line(first), "front 0 1");
    // A message from the declining start would have been read before this one.
    first.kill();
    first.waitForFinished(10000);
    EXPECT_FALSE(first.readAllStandardOutput().contains("another")) << "one message only";
}

TEST_F(TwoProcesses, ASocketLeftByACrashedFirstStartDoesNotBlock)
{
    const QString exe = Copy("a");
    QProcess& crashed = Start(exe);
    ASSERT_EQ(Line(crashed), "first");
    ::kill(pid_t(crashed.processId()), SIGKILL);
    crashed.waitForFinished(10000);
    QStringList left = QDir(runtime.path()).entryList({"travaso-*"}, QDir::System | QDir::Files);
    left.removeIf([](const QString& n) { return n.endsWith(".lock"); });
    ASSERT_EQ(left.size(), 1) << "the socket file stays behind";
    QProcess& next = Start(exe);
    EXPECT_EQ(Line(next), "first");
    QProcess& second = Start(exe);
    EXPECT_TRUE(Line(second).startsWith("second"));
    EXPECT_TRUE(Ends(second));
    EXPECT_EQ(Line(next), "another");
}

TEST_F(TwoProcesses, StartsAtTheSameMomentMakeExactlyOneFirst)
{
    const QString exe = Copy("a");
    std::vector<QProcess*> starts;
    for (int i = 0; i < 4; ++i)
        starts.push_back(&Start(exe));
    int firsts = 0;
    QProcess* first = nullptr;
    for (QProcess* p : starts) {
        const QString line = Line(*p);
        if (line == "first") {
            ++firsts;
            first = p;
        } else {
            EXPECT_TRUE(line.startsWith("second")) << line.toStdString();
            EXPECT_TRUE(Ends(*p));
        }
    }
    ASSERT_EQ(firsts, 1);
    int messages = 0;
    for (QString line = Line(*first); messages < 3 && !line.isEmpty(); line = messages < 3 ? Line(*first) : "")
        messages += line == "another";
    EXPECT_EQ(messages, 3);
}

}  // namespace

}  // namespace travaso
