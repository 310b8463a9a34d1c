// Showing the descriptive text in the window's text view, laid out and painted: the largest text the copier
// reads (1 MiB) in the shapes that are slow to lay out (one line of letters, one line of braces, one long
// rich-text paragraph), and an ordinary text of short lines for scale.

#include "CopyJob.h"
#include "TravasoMain.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <string>

namespace travaso {

namespace {

std::string Text(int shape)
{
    const std::size_t n = DescriptiveTextLimit;
    switch (shape) {
    case 0:
        return std::string(n, 'a');
    case 1:
        return std::string(n, '{');
    case 2:
        return "{\\rtf1 " + std::string(n - 16, 'b') + "}";
    default: {
        std::string text;
        while (text.size() < n)
            text += "Una riga ordinaria di testo descrittivo, come ne contiene il file di solito.\n";
        return text.substr(0, n);
    }
    }
}

void BM_ShowDescriptiveText(benchmark::State& state)
{
    const std::string data = Text(int(state.range(0)));
    for (auto _ : state) {
        QTextEdit view;
        view.setGeometry(8, 184, 545, 193);
        view.show();
        ShowDescriptiveText(&view, data);
        benchmark::DoNotOptimize(view.document()->documentLayout()->documentSize());
        view.repaint();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ShowDescriptiveText)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

}  // namespace travaso

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
