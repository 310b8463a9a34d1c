// Loading a 5 MB page into the editor, next to one insertion in it and next to opening it from disk; and a
// 2.5 MB page that is one long line (an inline image) next to the same bytes in 80-character lines: opening it
// (read, decode, load, first paint), a keystroke in its middle, and saving it.

#include "BenchEditor.h"
#include "Clock.h"
#include "DocumentTable.h"
#include "EditorControl.h"
#include "FileSystem.h"
#include "Prompts.h"
#include "TForm1.h"
#include "WrapSelection.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

using namespace calamo;

// About 5 MB of tag-dense HTML.
QString bigPage()
{
    QString page;
    page.reserve(5'300'000);
    int line = 0;
    while (page.size() < 5'000'000) {
        page +=
            QStringLiteral("<P ALIGN= left>Riga %1 con <B>grassetto</B>, <A HREF= \"pagina%1.htm\">un collegamento</A> "
                           "e <IMG SRC= \"img/%1.gif\" WIDTH= 10 HEIGHT= 10>.</P>\n")
                .arg(line++);
    }
    return page;
}

const QString& page()
{
    static const QString text = bigPage();
    return text;
}

// Prompts that are never expected to open during the benchmark.
class NoPrompts final : public Prompts {
public:
    bool question(const QString&, const QString&) override { return false; }
    void showWarning(const QString&) override {}
    QString inputBox(const QString&, const QString&, const QString& d) override { return d; }
    std::optional<std::uint32_t> pickColor() override { return std::nullopt; }
    std::optional<QString> openFileName(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<QString> saveFileName(const FileDialogOptions&) override { return std::nullopt; }
    void showError(const QString&) override {}
    void showMessage(const QString&) override {}
    bool askRestore(const QString&) override { return false; }
};

void BM_SetPlainText5MB(benchmark::State& state)
{
    EditorControl editor;
    editor.resize(597, 393);
    editor.show();
    for (auto _ : state) {
        editor.setPlainText(page());
        benchmark::DoNotOptimize(editor.document()->blockCount());
    }
    state.SetBytesProcessed(state.iterations() * page().size() * 2);
}
BENCHMARK(BM_SetPlainText5MB)->Unit(benchmark::kMillisecond);

void BM_WrapSelectionIn5MB(benchmark::State& state)
{
    EditorControl editor;
    editor.resize(597, 393);
    editor.show();
    editor.setPlainText(page());
    const int middle = static_cast<int>(page().size() / 2);
    // Each round wraps nine characters in the middle of the page and is then undone, so every insertion
    // meets the same 5 MB text.
    for (auto _ : state) {
        state.PauseTiming();
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(middle);
        cursor.setPosition(middle + 9, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        state.ResumeTiming();
        WrapSelection(editor, QStringLiteral("<B>"), QStringLiteral("</B>"));
        state.PauseTiming();
        editor.undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WrapSelectionIn5MB)->Unit(benchmark::kMicrosecond);

// The 5 MB page written to big.htm in DIR with CR LF line ends, as saved pages have them.
QString writeBigPage(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("big.htm"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(page().toUtf8().replace("\n", "\r\n"));
    return path;
}

void BM_Open5MBFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeBigPage(dir);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());  // the window writes calamo.cfg here
    NoPrompts prompts;
    PosixFileSystem files;
    SystemClock clock;
    TForm1 window(prompts, files, clock, dir.path() + u'/');
    window.show();
    for (auto _ : state) {
        window.documents().openFile(path);
        state.PauseTiming();
        window.documents().ChiudiClick();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    QDir::setCurrent(previous);
}
BENCHMARK(BM_Open5MBFile)->Unit(benchmark::kMillisecond);

// Typing into a 5 MB page at 20 keys a second for six seconds while recovery copies are written (two seconds
// after a pause, every half minute at the latest): the longest time the window's event loop was busy at once.
void BM_LongestPauseTypingWithRecoveryCopies(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeBigPage(dir);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    NoPrompts prompts;
    PosixFileSystem files;
    SystemClock clock;
    TForm1 window(prompts, files, clock, dir.path() + u'/');
    const bool copies = state.range(0) == 1;
    if (copies)
        window.enableRecovery(dir.filePath(QStringLiteral("recovery")));
    window.show();
    window.documents().openFile(path);
    auto* editor = static_cast<EditorControl*>(window.documents().current()->editor);
    editor->setCaret(2'500'000);
    // The page is laid out and shown first: the pauses measured are those of typing.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    qint64 longest = 0;
    for (auto _ : state) {
        QElapsedTimer run;
        run.start();
        for (int key = 0; run.elapsed() < 6000; ++key) {
            QElapsedTimer busy;
            busy.start();
            // A pause of 2.5 s in the middle lets a copy be written while typing goes on.
            if (key != 60) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
                QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
                QCoreApplication::sendEvent(editor, &press);
                QCoreApplication::sendEvent(editor, &release);
            }
            QCoreApplication::processEvents();
            longest = std::max(longest, busy.nsecsElapsed());
            // The rest of the 50 ms between keys (2.5 s at the pause), events handled as they come.
            QElapsedTimer idle;
            idle.start();
            while (idle.elapsed() < (key == 60 ? 2500 : 50)) {
                QElapsedTimer step;
                step.start();
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                longest = std::max(longest, step.nsecsElapsed());
            }
        }
    }
    window.writeRecoveryNow();
    if (copies && QDir(dir.filePath(QStringLiteral("recovery"))).entryList({QStringLiteral("*.record")}).isEmpty())
        state.SkipWithError("no recovery copy was written");
    state.counters["longest_pause_ms"] = static_cast<double>(longest) / 1e6;
    QDir::setCurrent(previous);
}
// What a copy costs the window: taking the text out of the editor.
void BM_TextOf5MBPage(benchmark::State& state)
{
    bench::ShownEditor shown;
    shown.editor.setText(page());
    for (auto _ : state)
        benchmark::DoNotOptimize(shown.editor.text());
}
BENCHMARK(BM_TextOf5MBPage)->Unit(benchmark::kMillisecond);

// Arg 0: no copies, the same typing for comparison; 1: copies on.
BENCHMARK(BM_LongestPauseTypingWithRecoveryCopies)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

// 2.5 MB of a page whose inline image is one base64 run: as one line (`oneLine`), or cut in 80-character lines.
QByteArray inlineImagePage(bool oneLine)
{
    QByteArray page = "<HTML><BODY><IMG SRC=\"data:image/png;base64,";
    while (page.size() < 2'500'000)
        page += oneLine ? QByteArray(79, 'A') + 'A' : QByteArray(78, 'A') + "\r\n";
    page += "\"></BODY></HTML>";
    return page;
}

// Arguments: 1 for the one-line page, 0 for the page of 80-character lines.
class InlineImage {
public:
    explicit InlineImage(bool oneLine) : window_(prompts_, files_, clock_, dir_.path() + u'/')
    {
        path_ = dir_.filePath(QStringLiteral("page.htm"));
        QFile file(path_);
        file.open(QIODevice::WriteOnly);
        file.write(inlineImagePage(oneLine));
        file.close();
        window_.show();
    }
    ~InlineImage() { QDir::setCurrent(previous_); }

    void open()
    {
        window_.documents().openFile(path_);
        QCoreApplication::processEvents();
        window_.repaint();
    }
    void close()
    {
        window_.documents().ChiudiClick();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EditorControl& editor() { return *static_cast<EditorControl*>(window_.documents().current()->editor); }
    const QString& path() const { return path_; }
    FileSystem& files() { return files_; }

private:
    QTemporaryDir dir_;
    QString previous_ = QDir::currentPath();
    bool cd_ = QDir::setCurrent(dir_.path());  // the window writes calamo.cfg here
    NoPrompts prompts_;
    PosixFileSystem files_;
    SystemClock clock_;
    TForm1 window_;
    QString path_;
};

void BM_OpenInlineImagePage(benchmark::State& state)
{
    InlineImage page(state.range(0) == 1);
    for (auto _ : state) {
        page.open();
        state.PauseTiming();
        page.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenInlineImagePage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_KeystrokeInInlineImagePage(benchmark::State& state)
{
    InlineImage page(state.range(0) == 1);
    page.open();
    EditorControl& editor = page.editor();
    editor.setCaret(1'250'000);
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
        QCoreApplication::sendEvent(&editor, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
        QCoreApplication::sendEvent(&editor, &release);
        editor.repaint();
    }
}
BENCHMARK(BM_KeystrokeInInlineImagePage)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_WriteInlineImagePage(benchmark::State& state)
{
    InlineImage page(state.range(0) == 1);
    page.open();
    for (auto _ : state) {
        const EncodedText out = encodeDocument(page.editor().text(), Encoding::Windows1252);
        benchmark::DoNotOptimize(page.files().writeFileAtomically(page.path(), out.bytes, LinkPolicy::Follow));
    }
}
BENCHMARK(BM_WriteInlineImagePage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[])
{
    return calamo::bench::runBenchmarks(argc, argv);
}
