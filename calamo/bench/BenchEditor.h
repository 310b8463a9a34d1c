#pragma once

// What the editor benchmarks share: a shown editor control of the design's size and the program around the
// benchmark runner.

#include "EditorControl.h"
#include "FileSystem.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace calamo::bench {

// An editor control as the main window shows it.
struct ShownEditor {
    ShownEditor()
    {
        editor.resize(597, 393);
        editor.show();
    }
    EditorControl editor;
};

// Loads `text` into the editor and lets it lay the text out, as opening a page does.
inline void loadShown(ShownEditor& shown, const QString& text)
{
    shown.editor.setText(text);
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(shown.editor.document()->blockCount());
}

// Opening `text` from disk as the editor does: written once as UTF-8 with CR LF line ends, then in each round
// read, decoded, put into a new editor and shown.
inline void benchmarkOpening(benchmark::State& state, const QString& text)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the page");
        return;
    }
    file.write(text.toUtf8().replace("\n", "\r\n"));
    file.close();
    PosixFileSystem files;
    for (auto _ : state) {
        ShownEditor shown;
        const ReadResult read = readDocumentFile(files, path);
        loadShown(shown, read.document->text);
    }
}

// main() of an editor benchmark: widgets off screen unless a display is asked for.
inline int runBenchmarks(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace calamo::bench
