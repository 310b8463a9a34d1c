// The real program in a real X server, driven by xdotool: what it writes to disk is what is checked.

#include "TestFiles.h"
#include "Xdotool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPoint>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace calamo::e2e;
using namespace calamo::testing;

namespace {

QString calamoPath()
{
    return qEnvironmentVariable("CALAMO_BIN");
}

using Bindings = std::initializer_list<std::pair<int, const char*>>;

// The bytes of a calamo.cfg with the given entries bound, the others empty, and the given first browser.
QByteArray configBytes(Bindings entries, const QByteArray& browser1 = "xdg-open")
{
    QByteArray config = "<!- File di configurazione :o -->\r\n<A NAME= \"Tasti di scelta rapida\"></A>\r\n";
    for (int n = 1; n <= 50; ++n) {
        for (const auto& [entry, code] : entries)
            config += entry == n ? QByteArray(code) : QByteArray();
        config += "\r\n";
    }
    config += "<A NAME= \"Linee di comando per i 2 browser\"></A>\r\n" + browser1 + "\r\nfirefox\r\n";
    return config;
}

// Writes that calamo.cfg into `dir`, where the program under test starts.
void writeBindings(const QTemporaryDir& dir, Bindings entries, const QByteArray& browser1 = "xdg-open")
{
    writeFile(dir.filePath(QStringLiteral("calamo.cfg")), configBytes(entries, browser1));
}

class CalamoE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(calamoPath().isEmpty()) << "CALAMO_BIN names the program";
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "runs under Xvfb";
        ASSERT_TRUE(dir.isValid());
    }

    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.terminate();
            if (!program.waitForFinished(5000))
                program.kill();
            program.waitForFinished(5000);
        }
    }

    void start(const QStringList& args = {})
    {
        // Recovery copies of this test's program stay in this test's folder.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_STATE_HOME"), dir.filePath(QStringLiteral("state")));
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(dir.path());
        program.start(calamoPath(), args);
        ASSERT_TRUE(program.waitForStarted(10000));
    }

    QString pagePath() const { return dir.filePath(QStringLiteral("page.htm")); }

    // Writes BYTES to page.htm, starts the program on it and waits until the window's title names it (the file
    // opens as a second tab, whose title shows once the timer ticks): the focused main window, or no id.
    QString startOnPage(const QByteArray& bytes)
    {
        QFile file(pagePath());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        file.close();
        start({pagePath()});
        const QString window = mainWindow();
        const bool titled = !window.isEmpty() && waitForTitle(window, QStringLiteral("page.htm]"));
        return titled ? window : QString();
    }

    // The program's main window, focused.
    QString mainWindow()
    {
        QString id;
        const QString pid = QString::number(program.processId());
        waitUntil([&] {
            id = visibleWindows(QStringLiteral("^Calamo"), program.processId()).value(0);
            return !id.isEmpty();
        });
        if (id.isEmpty()) {
            // Say what the display holds, to tell a slow start from a lost window.
            QProcess all;
            all.start(QStringLiteral("sh"),
                      {QStringLiteral("-c"),
                       QStringLiteral("for w in $(xdotool search --name .); do echo $w $(xdotool getwindowpid $w) "
                                      "$(xdotool getwindowname $w); done; cat /proc/%1/wchan")
                           .arg(pid)});
            all.waitForFinished(30000);
            ADD_FAILURE() << "no window; program state " << program.state()
                          << ", its errors: " << program.readAllStandardError().toStdString() << "\nwindows:\n"
                          << all.readAllStandardOutput().toStdString();
            return id;
        }
        focus(id);
        return id;
    }

    // A visible window of the program other than `besides` (a dialog it opened), focused.
    QString otherWindow(const QString& besides)
    {
        QString id;
        waitUntil([&] {
            id.clear();
            for (const QString& found : visibleWindows(QStringLiteral("."), program.processId())) {
                if (found != besides)
                    id = found;
            }
            return !id.isEmpty();
        });
        if (id.isEmpty())
            ADD_FAILURE() << "the program opened no dialog";
        else
            focus(id);
        return id;
    }

    // Answers the save dialog that Save opens for an unnamed document with `path`.
    void saveAs(const QString& window, const QString& path)
    {
        const QString dialog = otherWindow(window);
        ASSERT_FALSE(dialog.isEmpty());
        type(path, 20);
        key(QStringLiteral("Return"));
    }

    QTemporaryDir dir;
    QProcess program;
};

TEST_F(CalamoE2E, EditsWithBoundKeysAndToolbarButtonsAndSavesTheBytes)
{
    // Entry 17 (bold) on Ctrl+B, entry 3 (save) on Ctrl+S.
    writeBindings(dir, {{3, "C S"}, {17, "C B"}});
    const QString page = pagePath();
    const QString window = startOnPage("hello\r\nworld");
    ASSERT_FALSE(window.isEmpty());

    type(QStringLiteral("x "));
    key(QStringLiteral("ctrl+a"));
    chord("ctrl", "b");
    // The italic button: second row of the toolbar band, the third button of the font group.
    click(window, 207, 63);
    chord("ctrl", "s");

    const QByteArray expected = "<B>x hello\r\nworld<I></I></B>";
    EXPECT_TRUE(waitUntil([&] { return bytesOf(page) == expected; })) << bytesOf(page).toStdString();
    EXPECT_TRUE(waitUntil([&] { return !title(window).endsWith(QStringLiteral("*]")); }, 3000))
        << "the title loses its mark once the document is saved";
}

TEST_F(CalamoE2E, PastesNothingOnAFreshDisplayTakesAltBindingsAndSavesInTheDeclaredCharset)
{
    // Entry 3 (save) on Ctrl+S, entry 18 (italic) on Alt+I.
    writeBindings(dir, {{3, "C S"}, {18, "A I"}});
    // A pure-ASCII page that declares UTF-8.
    const QString page = pagePath();
    const QString window = startOnPage("<META charset=\"utf-8\">\r\n<P>caffe</P>");
    ASSERT_FALSE(window.isEmpty());

    // Nobody owns the clipboard on this display yet: Ctrl+V and the "Incolla" button paste nothing.
    chord("ctrl", "v");
    const QPoint kIncolla(153, 34);  // Speed31, first toolbar row
    click(window, kIncolla.x(), kIncolla.y());
    ASSERT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();

    key(QStringLiteral("ctrl+End"));
    // An Italian keyboard has "è" on a key of its own; typing it through a keymap changed for the moment races
    // with the program reading the key.
    ASSERT_EQ(QProcess::execute(QStringLiteral("setxkbmap"), {QStringLiteral("it")}), 0);
    key(QStringLiteral("egrave"));
    QProcess::execute(QStringLiteral("setxkbmap"), {QStringLiteral("us")});
    chord("alt", "i");
    chord("ctrl", "s");
    const QByteArray saved = "<META charset=\"utf-8\">\r\n<P>caffe</P>\xC3\xA8<I></I>";
    EXPECT_TRUE(waitUntil([&] { return bytesOf(page) == saved; })) << bytesOf(page).toHex().toStdString();

    // Once the program owns the clipboard, the same button pastes.
    chord("ctrl", "a");
    chord("ctrl", "c");
    key(QStringLiteral("ctrl+End"));
    click(window, kIncolla.x(), kIncolla.y());
    chord("ctrl", "s");
    EXPECT_TRUE(waitUntil([&] { return bytesOf(page) == saved + saved; })) << bytesOf(page).toHex().toStdString();
    EXPECT_EQ(program.state(), QProcess::Running);
}

TEST_F(CalamoE2E, APasteFromTheEditorsContextMenuIsKeptAndExitAsksToSaveIt)
{
    const QString page = pagePath();
    const QString window = startOnPage("hello");
    ASSERT_FALSE(window.isEmpty());
    chord("ctrl", "a");
    chord("ctrl", "c");
    key(QStringLiteral("ctrl+End"));

    // A right click in the text opens the editor's own menu; with nothing to undo and nothing selected its first
    // item that can be chosen is "Incolla". No key is released in the editor on this route.
    click(window, 400, 300, 3);
    ASSERT_FALSE(otherWindow(window).isEmpty()) << "the context menu opens";
    keys({QStringLiteral("Down"), QStringLiteral("Return")});
    EXPECT_TRUE(waitForTitle(window, QStringLiteral("page.htm*]"))) << "the title marks the change";

    // "Uscita", the last item of "File": the save question, answered Yes (its default button) with Enter.
    focus(window);
    openFirstMenu(window);
    keys({QStringLiteral("Up"), QStringLiteral("Return")});
    const QString question = otherWindow(window);
    ASSERT_FALSE(question.isEmpty()) << "Uscita asks before discarding the paste";
    key(QStringLiteral("Return"));
    EXPECT_TRUE(program.waitForFinished(15000));
    EXPECT_EQ(bytesOf(page), "hellohello");
}

TEST_F(CalamoE2E, TheUnsavedTextOfAKilledEditorComesBackAtTheNextStart)
{
    const QString page = pagePath();
    QString window = startOnPage("hello");
    ASSERT_FALSE(window.isEmpty());
    key(QStringLiteral("ctrl+End"));
    type(QStringLiteral("X"));
    const QDir recovery(dir.filePath(QStringLiteral("state/calamo/recovery")));
    ASSERT_TRUE(waitUntil([&] { return recovery.entryList({QStringLiteral("*.record")}).size() == 1; }))
        << "a copy is written after a pause in typing";
    program.kill();
    ASSERT_TRUE(program.waitForFinished(10000));

    // The next start offers the copy; "Ripristina" is the default button.
    start();
    ASSERT_TRUE(waitUntil([&] {
        const QString found = visibleWindows(QStringLiteral("^Copie di recupero$")).value(0);
        if (found.isEmpty())
            return false;
        focus(found);
        return true;
    })) << "the restore question opens";
    key(QStringLiteral("Return"));
    window = mainWindow();
    ASSERT_TRUE(waitForTitle(window, QStringLiteral("page.htm*]")))
        << "the text comes back as a modified document under its own name";

    // "Salva", the third item of "File", writes the restored text; its copy then goes.
    openFirstMenu(window);
    keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
    EXPECT_TRUE(waitUntil([&] { return bytesOf(page) == "helloX"; })) << bytesOf(page).toStdString();
    EXPECT_TRUE(waitUntil([&] { return recovery.entryList({QStringLiteral("*.record")}).isEmpty(); }))
        << "a saved document leaves no copy";
}

TEST_F(CalamoE2E, AFirstStartCreatesTheConfigurationFile)
{
    start();
    ASSERT_FALSE(mainWindow().isEmpty());
    const QString path = dir.filePath(QStringLiteral("calamo.cfg"));
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(path).size() > 0; }));
    EXPECT_EQ(bytesOf(path), configBytes({}));
}

TEST_F(CalamoE2E, ABoundKeyPreviewsTheUnsavedTextInBrowserOne)
{
    // Browser 1 is a script in the working folder that records its arguments and copies the file it is given.
    QFile script(dir.filePath(QStringLiteral("rec.sh")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(
        "#!/bin/sh\ncat \"$1\" > copy.htm\nprintf '%s\\n%s\\n' \"$#\" \"$1\" > args.tmp\nmv args.tmp args.txt\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Entry 36 (preview in browser 1) on Ctrl+P.
    writeBindings(dir, {{36, "C P"}}, "./rec.sh");
    const QString page = pagePath();
    const QString window = startOnPage("<P>perch\xE9</P>\r\n");
    ASSERT_FALSE(window.isEmpty());
    type(QStringLiteral("x"));
    chord("ctrl", "p");

    const QString args = dir.filePath(QStringLiteral("args.txt"));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(args); })) << "the browser was not started";
    // The preview file lies beside the program, and its full path is the one argument.
    const QString preview = QFileInfo(calamoPath()).canonicalPath() + QStringLiteral("/~~temp.htm");
    EXPECT_EQ(bytesOf(args), "1\n" + preview.toUtf8() + "\n");
    EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("copy.htm"))), "x<P>perch\xE9</P>\r\n");
    EXPECT_EQ(bytesOf(page), "<P>perch\xE9</P>\r\n") << "the document's own file is not written";
    QFile::remove(preview);  // the build's program folder keeps no test output
}

TEST_F(CalamoE2E, NewAsksForThePageAndTheSkeletonIsSavedByteForByte)
{
    // Entry 1 (new) on Ctrl+N, entry 3 (save) on Ctrl+S.
    writeBindings(dir, {{1, "C N"}, {3, "C S"}});

    start();
    const QString window = mainWindow();
    ASSERT_FALSE(window.isEmpty());
    chord("ctrl", "n");
    // The setup dialog opens with the caret in the title; Enter there is its "Ok".
    const QString setup = otherWindow(window);
    ASSERT_FALSE(setup.isEmpty());
    EXPECT_EQ(title(setup), QString::fromUtf8("Propriet\xC3\xA0 pagina"));
    type(QStringLiteral("Prova"));
    key(QStringLiteral("Return"));
    ASSERT_TRUE(waitUntil([&] { return visibleWindows(QStringLiteral("^Propriet")).isEmpty(); }))
        << "Enter closes the dialog";
    focus(window);
    // The caret waits in the middle of the body.
    type(QStringLiteral("ciao"));
    chord("ctrl", "s");
    const QString page = dir.filePath(QStringLiteral("nuova.htm"));
    saveAs(window, page);
    const QByteArray expected =
        "<HTML>\r\n\r\n<HEAD>\r\n <META NAME= \"generator\" content= \"!! CaLaMo !!\">\r\n"
        " <TITLE>Prova</TITLE>\r\n</HEAD>\r\n\r\n<BODY>\r\n\r\nciao\r\n\r\n</BODY>\r\n\r\n</HTML>\r\n";
    EXPECT_TRUE(waitUntil([&] { return bytesOf(page) == expected; })) << bytesOf(page).toStdString();
}

TEST_F(CalamoE2E, AFramesetButtonMakesAPageThatIsSavedByteForByte)
{
    // Entry 3 (save) on Ctrl+S.
    writeBindings(dir, {{3, "C S"}});

    start();
    const QString window = mainWindow();
    ASSERT_FALSE(window.isEmpty());
    // "Nuovo frameset" at the end of the toolbar's second row shows the panel; its first button is the
    // two-row layout.
    click(window, 661, 62);
    click(window, 42, 116);
    ASSERT_TRUE(waitForTitle(window, QStringLiteral("~temp.htm]")));
    // A click in the editor, then a mark at the end so the unnamed page has something to save.
    click(window, 400, 300);
    chord("ctrl", "End");
    type(QStringLiteral("x"));
    chord("ctrl", "s");
    const QString page = dir.filePath(QStringLiteral("frame.htm"));
    saveAs(window, page);
    const QByteArray expected =
        "<HTML>\r\n\r\n<HEAD>\r\n</HEAD>\r\n\r\n<FRAMESET  ROWS= \"80,*\">\r\n"
        " <FRAME  NAME= \"SOPRA\" SRC= \"SOPRA.HTM\">\r\n <FRAME  NAME= \"SOTTO\" SRC= \"SOTTO.HTM\">\r\n"
        "</FRAMESET>\r\n\r\n\r\n<NOFRAME>\r\n <BODY>\r\n"
        "  Questa pagina usa i frame ma il tuo browser non li supporta.\r\n </BODY>\r\n</NOFRAME>\r\n\r\n\r\n"
        "</HTML>\r\nx";
    EXPECT_TRUE(waitUntil([&] { return bytesOf(page) == expected; })) << bytesOf(page).toStdString();
}

TEST_F(CalamoE2E, AFormBuiltWithTheFormBuilderIsSavedByteForByte)
{
    // Entry 3 (save) on Ctrl+S.
    writeBindings(dir, {{3, "C S"}});
    const auto builderShown = [] { return !visibleWindows(QStringLiteral("^Creazione modulo")).isEmpty(); };

    start();
    const QString window = mainWindow();
    ASSERT_FALSE(window.isEmpty());
    // "Nuovo modulo", the toolbar button before "Nuovo frameset": its page starts on ACTION, its edit box next.
    click(window, 630, 62);
    ASSERT_FALSE(otherWindow(window).isEmpty());
    key(QStringLiteral("Tab"));
    type(QStringLiteral("/cgi"));
    key(QStringLiteral("Return"));
    ASSERT_TRUE(waitUntil([&] { return !builderShown(); })) << "Enter is \"Crea modulo\", which closes the dialog";

    // The objects panel is up; its first button opens the text field page beside the window.
    click(window, 75, 116);
    ASSERT_FALSE(otherWindow(window).isEmpty());
    // From the first radio button to the name's edit box.
    keys({QStringLiteral("Tab"), QStringLiteral("Tab")});
    type(QStringLiteral("eta"));
    key(QStringLiteral("Return"));
    ASSERT_TRUE(builderShown()) << "adding a field leaves the dialog open";
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(waitUntil([&] { return !builderShown(); }));

    focus(window);
    chord("ctrl", "s");
    const QString page = dir.filePath(QStringLiteral("modulo.htm"));
    saveAs(window, page);
    const QByteArray expected =
        "<HTML>\r\n\r\n<HEAD>\r\n <META NAME= \"generator\" content= \"!! CaLaMo !!\">\r\n"
        " <TITLE> </TITLE>\r\n</HEAD>\r\n\r\n<BODY>\r\n\r\n"
        "<FORM ACTION= \"/cgi\" METHOD= \"post\"> <INPUT TYPE= text NAME= \"eta\">\r\n</FORM>\r\n"
        "\r\n</BODY>\r\n\r\n</HTML>\r\n";
    EXPECT_TRUE(waitUntil([&] { return bytesOf(page) == expected; })) << bytesOf(page).toStdString();
}

// The utility dialogs: the menu "Utilità" is the third of the menu bar, reached from "File" by the arrow keys.
class UtilityE2E : public CalamoE2E {
protected:
    // Writes page.htm with `bytes` (Ctrl+S bound to save), opens it, then the item of "Utilità" that `downs`
    // presses of the Down key reach from its first one (which the arrow keys leave active when they open the
    // menu). The dialog, focused, once its caption is `caption`; empty when it is not.
    QString openUtility(const QByteArray& bytes, int downs, const QString& caption)
    {
        writeBindings(dir, {{3, "C S"}});
        writeFile(page(), bytes);
        const QString dialog = openMenuItem(page(), downs);
        if (dialog.isEmpty() || title(dialog) != caption) {
            ADD_FAILURE() << "no dialog named " << caption.toStdString();
            return {};
        }
        return dialog;
    }
    QString page() const { return dir.filePath(QStringLiteral("page.htm")); }
    QString openMenuItem(const QString& page, int downs)
    {
        start({page});
        window = mainWindow();
        if (window.isEmpty())
            return {};
        waitForTitle(window, QFileInfo(page).fileName() + u']');
        openFirstMenu(window);
        QStringList names{QStringLiteral("Right"), QStringLiteral("Right")};
        for (int i = 0; i < downs; ++i)
            names << QStringLiteral("Down");
        names << QStringLiteral("Return");
        keys(names);
        return otherWindow(window);
    }
    void backToMainWindow()
    {
        ASSERT_TRUE(waitUntil([&] { return visibleWindows(QStringLiteral("."), program.processId()).size() <= 1; }))
            << "the dialog closes";
        focus(window);
    }

    QString window;
};

TEST_F(UtilityE2E, ConvertAllTurnsTheSymbolsOfAWindows1252PageIntoEntitiesThatAreSaved)
{
    const QString page = this->page();
    ASSERT_FALSE(
        openUtility("<P>Perch\xE9 \x80 5 \x99 &amp; \xDE\xFE</P>\r\nfine", 0, QStringLiteral("Lista conversioni"))
            .isEmpty());
    // The list has the focus; "Converti tutto" is the second button after it.
    keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("space")});
    backToMainWindow();
    chord("ctrl", "s");
    const QByteArray expected = "<P>Perch&eacute; &euro; 5 &#153; &amp; &THORN;&thorn;</P>\r\nfine";
    EXPECT_TRUE(waitUntil([&] { return bytesOf(page) == expected; })) << bytesOf(page).toStdString();
}

TEST_F(UtilityE2E, AShortcutChangedInTheEditorWorksAtOnceAndIsWrittenToTheFile)
{
    const QString page = this->page();
    ASSERT_FALSE(openUtility("testo", 4, QStringLiteral("Editor tasti di scelta rapida")).isEmpty());
    // The entry list has the focus: typing its number picks "17 Grassetto".
    type(QStringLiteral("17"));
    keys({QStringLiteral("Tab")});
    type(QStringLiteral("C GX"));
    // Enter is "Salva"; then "Uscita", the last button.
    keys({QStringLiteral("Return"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
          QStringLiteral("space")});
    backToMainWindow();
    const QString cfg = dir.filePath(QStringLiteral("calamo.cfg"));
    EXPECT_TRUE(waitUntil([&] { return bytesOf(cfg).contains("\r\nC S\r\n"); }));
    const QList<QByteArray> lines = bytesOf(cfg).split('\n');
    ASSERT_EQ(lines.size(), 56);
    EXPECT_EQ(lines[2 + 16], "C G\r") << "entry 17, cut to three characters";

    chord("ctrl", "a");
    chord("ctrl", "g");
    chord("ctrl", "s");
    EXPECT_TRUE(waitUntil([&] { return bytesOf(page) == "<B>testo</B>"; })) << bytesOf(page).toStdString();
}

TEST_F(UtilityE2E, AColourPresetGoesInAtTheCaret)
{
    const QString page = this->page();
    ASSERT_FALSE(openUtility("<FONT COLOR=\"\">", 1, QStringLiteral("Colori Prefabbricati")).isEmpty());
    // The list has the focus: typing a name selects its row; "Inserisci" is the next control, "Uscita" the last.
    type(QStringLiteral("rosso"));
    keys({QStringLiteral("Tab"), QStringLiteral("space"), QStringLiteral("Tab"), QStringLiteral("Tab"),
          QStringLiteral("space")});
    backToMainWindow();
    chord("ctrl", "s");
    EXPECT_TRUE(waitUntil([&] { return bytesOf(page) == "#FF0000<FONT COLOR=\"\">"; })) << bytesOf(page).toStdString();
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
