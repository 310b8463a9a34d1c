// The program's look and its one-copy rule under an X server: the window's pixels from a screen grab,
// a second start of the same executable, and a copy run afterwards.

#include "E2EHelpers.h"
#include "zImages.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QRasterWindow>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace travaso {

namespace {

// A plain window of one colour over the whole screen.
class Cover : public QRasterWindow {
public:
    static inline const QColor colour{10, 200, 30};

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(QRect(QPoint(), size()), colour); }
};

class LookEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFile(Source() + "a.txt", QByteArray(1500, 'a'));
        WriteFile(Source() + "sub/b.txt", "b");
        QDir().mkpath(Root());
        InstallCopier(Exe());
        env = CopierProcessEnvironment(Root(), runtime.path());
    }

    void TearDown() override
    {
        EndProcess(first);
        EndProcess(second);
    }

    QString Source() const { return dir.path() + "/media/PROVA/"; }
    QString Exe() const { return Source() + "travaso"; }
    QString Root() const { return dir.path() + "/home"; }

    void Start(QProcess& p)
    {
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(Exe(), {});
        ASSERT_TRUE(p.waitForStarted(10000));
    }

    // Screen contents at the first window's client point (x, y).
    QColor At(int x, int y)
    {
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        return shot.pixelColor(origin + QPoint(x, y));
    }

    QTemporaryDir dir;
    QTemporaryDir runtime;
    QProcessEnvironment env;
    QProcess first;
    QProcess second;
    QString window;
    QPoint origin;
};

TEST_F(LookEndToEnd, WindowLooksAsDesignedRefusesASecondStartAndStillCopies)
{
    Start(first);
    window = FindCopierWindow();
    ASSERT_FALSE(window.isEmpty());
    EXPECT_EQ(Xdotool({"getwindowname", window}), "Travaso v3.03");
    const QStringList geometry = Xdotool({"getwindowgeometry", "--shell", window}).split('\n');
    for (const QString& line : geometry) {
        if (line.startsWith("X="))
            origin.setX(line.mid(2).toInt());
        if (line.startsWith("Y="))
            origin.setY(line.mid(2).toInt());
    }
    Xdotool({"windowfocus", "--sync", window});
    ASSERT_TRUE(WaitFor([&] { return ReadLog(window).contains("Pronto per la copia"); }));

    const QImage tile = CopierTile().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(tile.isNull());
    EXPECT_EQ(At(8 + 10, 8 + 20), QColor(38, 147, 38));     // Copia: green to white from the centre
    EXPECT_EQ(At(8 + 10, 104 + 20), QColor(255, 38, 255));  // Termina: fuchsia to white
    for (QPoint p : {QPoint(145, 100), QPoint(100, 179), QPoint(550, 170)})
        EXPECT_EQ(At(p.x(), p.y()), tile.pixelColor(p.x() % tile.width(), p.y() % tile.height()))
            << p.x() << "," << p.y();

    // Another window covers the copier; a second start of the same program brings it back up and ends.
    Cover cover;
    cover.setFlags(Qt::X11BypassWindowManagerHint);
    cover.setGeometry(QGuiApplication::primaryScreen()->geometry());
    cover.show();
    ASSERT_TRUE(WaitFor([&] { return At(8 + 10, 8 + 20) == Cover::colour; }));
    Start(second);
    EXPECT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(WaitFor([&] { return At(8 + 10, 8 + 20) == QColor(38, 147, 38); })) << "the first came to the front";
    EXPECT_EQ(Xdotool({"search", "--onlyvisible", "--name", "^Travaso v3\\.03$"}).split('\n').size(), 1);
    cover.hide();

    // The copy still runs. (The log is not read here: after another window has been shown, this
    // process's clipboard requests can predate the copier's, and X refuses them.)
    Xdotool({"windowfocus", "--sync", window});
    ClickAt(window, 72, 28);  // Copia
    EXPECT_TRUE(WaitFor([&] { return QFile::exists(Root() + "/PROVA/sub/b.txt"); }));
    // Termina is enabled only once the copy has ended.
    EXPECT_TRUE(WaitFor([&] {
        ClickAt(window, 72, 124);  // Termina
        return first.waitForFinished(200);
    }));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(QFile(Root() + "/PROVA/a.txt").size(), 1500);
}

TEST_F(LookEndToEnd, AStartAfterACrashIsAFirstStart)
{
    Start(first);
    ASSERT_FALSE(FindCopierWindow().isEmpty());
    first.kill();  // no chance to remove its socket
    first.waitForFinished(10000);
    ASSERT_FALSE(QDir(runtime.path()).entryList({"travaso-*"}, QDir::System).isEmpty());
    Start(second);
    ASSERT_FALSE(FindCopierWindow().isEmpty());
    EXPECT_EQ(second.state(), QProcess::Running);
}

}  // namespace

}  // namespace travaso
