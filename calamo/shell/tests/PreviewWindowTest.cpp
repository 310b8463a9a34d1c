// Preview and the browser commands dialog through the main window, with a real script as the browser.

#include "StatusTips.h"
#include "WindowFixture.h"

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <gmock/gmock.h>

using namespace calamo;
using namespace calamo::testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class PreviewWindowTest : public WindowFixture {
protected:
    // A browser that records how many arguments it got, the first one, and the bytes of the file it names.
    // Named relative to the working folder, so it fits the 20 characters of a browser command.
    void writeRecorder()
    {
        QFile script(dir.filePath(QStringLiteral("rec.sh")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "cat \"$1\" > copy.htm\n"
                     "printf '%s\\n%s\\n' \"$#\" \"$1\" > args.tmp\n"
                     "mv args.tmp args.txt\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QByteArray waitForRecord()
    {
        const QString args = dir.filePath(QStringLiteral("args.txt"));
        if (!QTest::qWaitFor([&] { return QFile::exists(args); }, 10000))
            return "<no start>";
        return bytesOf(args);
    }
};

TEST_F(PreviewWindowTest, TheToolbarButtonWritesThePreviewAndStartsTheBrowserOnIt)
{
    writeRecorder();
    Config config = Config::defaults();
    config.BrowserCommands[0] = "./rec.sh";
    writeConfig(config);
    TForm1& form = open();
    editor().setText(QStringLiteral("<P>perché\nnon salvato</P>"));

    QTest::mouseClick(child<QToolButton>("Speed44"), Qt::LeftButton);
    const QString preview = dir.path() + QStringLiteral("/~~temp.htm");
    EXPECT_EQ(waitForRecord(), "1\n" + preview.toUtf8() + "\n");
    EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("copy.htm"))), "<P>perch\xE9\r\nnon salvato</P>");
    EXPECT_TRUE(form.documents().document(0).saved);
    EXPECT_THAT(prompts.log, IsEmpty());

    // Closing the program removes the preview file.
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(QFile::exists(preview));
}

TEST_F(PreviewWindowTest, EntriesThirtySixAndThirtySevenRunThePreviews)
{
    writeRecorder();
    Config config = Config::defaults();
    config.ShortcutTable[35] = "C 1";
    config.ShortcutTable[36] = "C 2";
    config.BrowserCommands = {"", "./rec.sh"};
    writeConfig(config);
    open();
    editor().setText(QStringLiteral("x"));
    // Browser 1 is empty: nothing starts and nothing is said.
    QTest::keyClick(&editor(), Qt::Key_1, Qt::ControlModifier);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("~~temp.htm"))));
    QTest::keyClick(&editor(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(waitForRecord(), "1\n" + dir.filePath(QStringLiteral("~~temp.htm")).toUtf8() + "\n");
    EXPECT_THAT(prompts.log, IsEmpty());
}

TEST_F(PreviewWindowTest, ABrowserThatCannotStartIsReported)
{
    Config config = Config::defaults();
    config.BrowserCommands[1] = "./no-such-browser";
    writeConfig(config);
    open();
    QTest::mouseClick(child<QToolButton>("Speed45"), Qt::LeftButton);
    ASSERT_EQ(prompts.log.size(), 1u);
    EXPECT_TRUE(prompts.log[0].startsWith("error: Impossibile avviare il browser \"./no-such-browser\": "))
        << prompts.log[0].toStdString();
}

TEST_F(PreviewWindowTest, BrowserEsterniAsksTwiceAndWritesTheConfiguration)
{
    open();
    prompts.inputs = {QStringLiteral("chromium --incognito --new"), std::nullopt};
    child<QAction>("Brow")->trigger();
    EXPECT_THAT(prompts.log, ElementsAre("input Comando browser 1: Prego immetti il comando.",
                                         "input Comando browser 2: Prego immetti il comando."));
    EXPECT_EQ(window->config().BrowserCommands[0], "chromium --incognito");
    EXPECT_EQ(window->config().BrowserCommands[1], "firefox");
    Config stored;
    ASSERT_EQ(LeggiCfg(files, stored), std::nullopt);
    EXPECT_EQ(stored, window->config());
}

TEST_F(PreviewWindowTest, TheStatusTipStaysTheSameOnEveryTick)
{
    TForm1& form = open();
    form.Timer2Timer();
    auto* tip = child<QLabel>("Tip");
    const QString first = tip->text();
    EXPECT_THAT(statusTips(), ::testing::Contains(first));
    for (int i = 0; i < 5; ++i) {
        form.Timer2Timer();
        EXPECT_EQ(tip->text(), first);
    }
}

}  // namespace
