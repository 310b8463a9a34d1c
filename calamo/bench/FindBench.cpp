// "Colora tag", replace all and find next on a 5 MB page, each next to loading the same page into the editor, so
// the figures compare within one run on one machine.

#include "BenchEditor.h"
#include "DocumentEdits.h"

namespace {

using namespace calamo;
using bench::ShownEditor;

constexpr int kLines = 40'000;    // 5 tags a line: 200,000 tags
constexpr int kLineLength = 125;  // 40,000 lines of 125 characters: 5 MB
constexpr int kEvery = 4;         // a line in 4 holds the word to replace: 10,000 occurrences
const QString kWord = QStringLiteral("Sostituiscimi");

QString tagPage()
{
    QString page;
    page.reserve(qsizetype(kLines) * kLineLength);
    for (int i = 0; i < kLines; ++i) {
        QString line =
            QStringLiteral("<P>Riga %1 con <B>grassetto</B>, <A HREF= \"p%1.htm\">un collegamento</A> ").arg(i);
        if (i % kEvery == 0)
            line += kWord + u' ';
        line = line.leftJustified(kLineLength - 1, u'.');
        page += line + u'\n';
    }
    return page;
}

const QString& page()
{
    static const QString text = tagPage();
    return text;
}

// A page of the same size whose only match is at its very end.
const QString& findPage()
{
    static const QString text = [] {
        QString t = page();
        t.replace(kWord, QString(kWord.size(), u'x'));
        t.chop(20);
        return t + QStringLiteral("<!-- Trovami -->\n");
    }();
    return text;
}

void BM_LoadPage5MB(benchmark::State& state)
{
    ShownEditor shown;
    for (auto _ : state)
        bench::loadShown(shown, page());
}
BENCHMARK(BM_LoadPage5MB)->Unit(benchmark::kMillisecond)->Iterations(5);

// What opening the page from disk costs: reading, decoding, a new editor, the text put in and shown.
void BM_OpenPage5MB(benchmark::State& state)
{
    bench::benchmarkOpening(state, page());
}
BENCHMARK(BM_OpenPage5MB)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ColoraTag200000Tags(benchmark::State& state)
{
    ShownEditor shown;
    for (auto _ : state) {
        state.PauseTiming();
        shown.editor.setText(page());
        QCoreApplication::processEvents();
        state.ResumeTiming();
        colourTags(shown.editor);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ColoraTag200000Tags)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReplaceAll10000(benchmark::State& state)
{
    ShownEditor shown;
    for (auto _ : state) {
        state.PauseTiming();
        shown.editor.setText(page());
        QCoreApplication::processEvents();
        state.ResumeTiming();
        const int replaced = replaceAll(shown.editor, kWord, QStringLiteral("Sostituito"));
        QCoreApplication::processEvents();
        if (replaced != page().count(kWord))
            state.SkipWithError("wrong number of replacements");
    }
}
BENCHMARK(BM_ReplaceAll10000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FindNextToTheEnd(benchmark::State& state)
{
    ShownEditor shown;
    shown.editor.setText(findPage());
    for (auto _ : state) {
        if (!selectNext(shown.editor, QStringLiteral("TROVAMI"), 0))
            state.SkipWithError("not found");
    }
}
BENCHMARK(BM_FindNextToTheEnd)->Unit(benchmark::kMillisecond);

// The worst case of a search that compares the text looked for at every place: a 5 MB page of "a" ending in "b",
// searched for 10,000 characters of the same kind. Next to it, an ordinary short text found at the same place.
const QString& worstPage()
{
    static const QString text = QString(5'000'000 - 1, u'a') + u'b';
    return text;
}

void findInWorstPage(benchmark::State& state, const QString& what)
{
    ShownEditor shown;
    shown.editor.setText(worstPage());
    for (auto _ : state) {
        if (!selectNext(shown.editor, what, 0))
            state.SkipWithError("not found");
    }
}

void BM_FindWorstCase10000Characters(benchmark::State& state)
{
    findInWorstPage(state, QString(9'999, u'A') + u'B');
}
BENCHMARK(BM_FindWorstCase10000Characters)->Unit(benchmark::kMillisecond);

void BM_FindOrdinaryInWorstCasePage(benchmark::State& state)
{
    findInWorstPage(state, QStringLiteral("AAB"));
}
BENCHMARK(BM_FindOrdinaryInWorstCasePage)->Unit(benchmark::kMillisecond);

// The search alone, without taking the text out of the editor.
void BM_FindTextWorstCase10000Characters(benchmark::State& state)
{
    const QString what = QString(9'999, u'A') + u'B';
    for (auto _ : state)
        benchmark::DoNotOptimize(findText(worstPage(), what, 0));
}
BENCHMARK(BM_FindTextWorstCase10000Characters)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[])
{
    return calamo::bench::runBenchmarks(argc, argv);
}
