// The program itself under an X server: started from inside a generated tree, driven with xdotool,
// its log read through the clipboard and its gauge from a screen grab.

#include "E2EHelpers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>

namespace travaso {

using ::testing::Contains;
using ::testing::HasSubstr;

namespace {

std::map<QString, QByteArray> Snapshot(const QString& dir)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(dir).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            files[rel + "/"] = {};
        } else {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::ReadOnly));
            files[rel] = f.readAll();
        }
    }
    return files;
}

// One run of the program copied into a folder of a temporary tree (media/PROVA unless a test says), with
// TRAVASO_ROOT set.
class EndToEnd : public ::testing::Test {
protected:
    void Start(const QString& targetRoot, int openFileLimit = 0)
    {
        InstallCopier(Exe());
        QProcessEnvironment env = CopierProcessEnvironment(targetRoot, runtime.path());
        env.insert("LC_ALL", "it_IT.UTF-8");
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        if (openFileLimit > 0) {
            program.setChildProcessModifier([openFileLimit] {
                const rlimit limit{rlim_t(openFileLimit), rlim_t(openFileLimit)};
                setrlimit(RLIMIT_NOFILE, &limit);
            });
        }
        program.start(Exe(), {});
        ASSERT_TRUE(program.waitForStarted(10000));
        window = FindCopierWindow();
        ASSERT_FALSE(window.isEmpty());
        Xdotool({"windowfocus", "--sync", window});
    }

    void TearDown() override { EndProcess(program); }

    // Waits for the error box (its text is the window tests' concern) and closes it with Enter.
    void CloseErrorBox()
    {
        const QString box = Xdotool({"search", "--sync", "--onlyvisible", "--name", "^Travaso$"}).section('\n', 0, 0);
        ASSERT_FALSE(box.isEmpty()) << "no error box";
        Xdotool({"windowfocus", "--sync", box});
        Xdotool({"key", "--window", box, "Return"});
    }

    QString ExeDir() const { return exeDir.isEmpty() ? Source() : exeDir; }
    QString Exe() const { return ExeDir() + "travaso"; }
    QString Source() const { return dir.path() + "/media/PROVA/"; }

    void Click(int x, int y) { ClickAt(window, x, y); }
    QString Log() { return ReadLog(window); }

    // Waits, with a bound, until the log holds line.
    QString WaitForLog(const QString& line)
    {
        QString log;
        if (!WaitFor([&] { return (log = Log()).contains(line); }, 60000))
            ADD_FAILURE() << "no line " << line.toStdString() << " in log:\n" << log.toStdString();
        return log;
    }

    QTemporaryDir dir;
    QTemporaryDir runtime;
    QString exeDir;  // where the program runs from, when not Source()
    QProcess program;
    QString window;
};

TEST_F(EndToEnd, CopiesTheTreeExceptItselfAndFillsTheGauge)
{
    WriteFile(Source() + "a.txt", QByteArray(1500, 'a'));
    WriteFile(Source() + "testo.txt", "Descrizione della raccolta");
    WriteFile(Source() + "sub/deep/b.bin", QByteArray(70000, 'b'));
    WriteFile(Source() + ".nascosto", "hidden file");
    QDir().mkpath(Source() + "vuota");
    const QString root = dir.path() + "/home";
    QDir().mkpath(root);
    Start(root);
    // Exactly the window's caption: no application name appended to it.
    EXPECT_EQ(Xdotool({"getwindowname", window}), "Travaso v3.03");

    const QString opening = WaitForLog("Pronto per la copia");
    const QStringList lines = opening.split('\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], "Inizializzazione in corso");
    EXPECT_EQ(lines[1], "Copia da: " + Source());
    EXPECT_EQ(lines[2], "Spazio richiesto: 71.537 byte (4 file)");
    EXPECT_TRUE(lines[3].startsWith("Spazio libero su " + root + ": ")) << lines[3].toStdString();
    EXPECT_EQ(lines[4], "Pronto per la copia");

    Click(72, 28);  // Copia
    const QString log = WaitForLog("=== Copia completata ===");
    EXPECT_TRUE(log.contains("Copiato b.bin [70.000 byte]"));

    auto expected = Snapshot(Source());
    expected.erase("travaso");
    EXPECT_EQ(Snapshot(root + "/PROVA"), expected);

    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(window.toULongLong()).toImage();
    ASSERT_FALSE(shot.isNull());
    const QColor gaugeEnd = shot.pixelColor(8 + 126, 64 + 15);
    EXPECT_EQ(gaugeEnd, QColor(255, 0, 0)) << "gauge not full: " << gaugeEnd.name().toStdString();

    Click(72, 124);  // Termina
    EXPECT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 0);
}

TEST_F(EndToEnd, UnknownFreeSpaceIsNotEnough)
{
    WriteFile(Source() + "a.txt", "a");
    const QString root = dir.path() + "/no-such-root";
    Start(root);
    const QString log = WaitForLog("Spazio insufficiente!");
    EXPECT_TRUE(log.contains("Spazio libero su " + root + ": -1 byte"));
    Click(72, 28);  // Copia is disabled: nothing happens
    EXPECT_FALSE(QDir(root).exists());
}

TEST_F(EndToEnd, ATargetThatContainsTheSourceLeavesTheSourceUnchanged)
{
    // The program in R/dup/dup/ with R as the target root: its target R/dup/ holds the source.
    const QString r = dir.path() + "/R";
    WriteFile(r + "/dup/f.txt", "outer, precious");
    WriteFile(r + "/dup/dup/f.txt", "inner");
    WriteFile(r + "/dup/dup/sub/g.txt", "inner g");
    exeDir = r + "/dup/dup/";
    const auto before = Snapshot(r);
    Start(r);

    CloseErrorBox();
    const QString log = Log();
    EXPECT_FALSE(log.contains("Pronto per la copia")) << log.toStdString();
    Click(72, 28);  // Copia is disabled: nothing happens
    auto after = Snapshot(r);
    after.erase("dup/dup/travaso");
    EXPECT_EQ(after, before);
}

TEST_F(EndToEnd, AFifoForTheDescriptiveTextStillOpensTheWindow)
{
    WriteFile(Source() + "a.txt", "a");
    ASSERT_EQ(mkfifo((Source() + "testo.rtf").toLocal8Bit().constData(), 0644), 0);
    const QString root = dir.path() + "/home";
    QDir().mkpath(root);
    Start(root);
    WaitForLog("Pronto per la copia");
}

TEST_F(EndToEnd, ADeepTreeCopiesWholeUnderASmallLimitOfOpenFiles)
{
    QString deep = Source();
    for (int level = 0; level < 300; ++level)
        deep += "d/";
    WriteFile(deep + "fondo.txt", "bottom");
    WriteFile(Source() + "d/d/mezzo.txt", "middle");
    WriteFile(Source() + "cima.txt", "top");
    const QString root = dir.path() + "/home";
    QDir().mkpath(root);
    Start(root, 64);

    const QString opening = WaitForLog("Pronto per la copia");
    EXPECT_TRUE(opening.contains("(3 file)")) << opening.toStdString();
    Click(72, 28);  // Copia
    WaitForLog("=== Copia completata ===");
    auto expected = Snapshot(Source());
    expected.erase("travaso");
    EXPECT_EQ(Snapshot(root + "/PROVA"), expected);
}

}  // namespace

}  // namespace travaso
