// The program itself under an X server: started from inside a generated tree, driven with xdotool,
// its log read through the clipboard and its gauge from a screen grab.

#include <QClipboard>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

using ::testing::Contains;
using ::testing::HasSubstr;

namespace {

// Runs xdotool with args and returns its standard output; fails the test when it does not end in time.
QString Xdotool(const QStringList& args, int timeoutMs = 20000)
{
    QProcess p;
    p.start("xdotool", args);
    EXPECT_TRUE(p.waitForFinished(timeoutMs)) << "xdotool " << args.join(' ').toStdString();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

void WriteFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

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

// One run of the program copied into media/PROVA, with TRAVASO_ROOT set.
class EndToEnd : public ::testing::Test {
protected:
    void Start(const QString& targetRoot)
    {
        ASSERT_TRUE(QFile::copy(TRAVASO_BINARY, Exe()));
        QFile::setPermissions(Exe(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TRAVASO_ROOT", targetRoot);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("LC_ALL", "it_IT.UTF-8");
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(Exe(), {});
        ASSERT_TRUE(program.waitForStarted(10000));
        window = Xdotool({"search", "--sync", "--onlyvisible", "--name", "^Travaso v3\\.03$"}).section('\n', 0, 0);
        ASSERT_FALSE(window.isEmpty());
        Xdotool({"windowfocus", "--sync", window});
    }

    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(10000);
        }
    }

    QString Source() const { return dir.path() + "/media/PROVA/"; }
    QString Exe() const { return Source() + "travaso"; }

    void Click(int x, int y)
    {
        Xdotool({"mousemove", "--window", window, QString::number(x), QString::number(y), "click", "1"});
    }

    // The log's text, copied from Memo1 through the clipboard.
    QString Log()
    {
        Click(300, 70);
        Xdotool({"key", "--window", window, "ctrl+a", "ctrl+c"});
        return QGuiApplication::clipboard()->text();
    }

    // Waits, with a bound, until the log holds line.
    QString WaitForLog(const QString& line)
    {
        QDeadlineTimer deadline(60000);
        QString log;
        while (!deadline.hasExpired()) {
            log = Log();
            if (log.contains(line))
                return log;
            QThread::msleep(100);  // between polls of a condition, not a wait for it
        }
        ADD_FAILURE() << "no line " << line.toStdString() << " in log:\n" << log.toStdString();
        return log;
    }

    QTemporaryDir dir;
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

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
