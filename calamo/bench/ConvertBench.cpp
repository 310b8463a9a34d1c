// "Converti tutto" on a 5 MB page full of accented letters, next to loading the same page into the editor, so
// the two figures compare within one run on one machine.

#include "BenchEditor.h"
#include "Conversions.h"
#include "DocumentEdits.h"
#include "TextEdits.h"

namespace {

using namespace calamo;
using bench::ShownEditor;

constexpr int kLines = 40'000;
constexpr int kLineLength = 125;  // 40,000 lines of 125 characters: 5 MB

// Italian prose in paragraphs, every line with accented letters: 9 in a line of 125 characters (a dense
// Italian text has a third of that), 360,000 in all; the converted page is 2.5 MB longer. `dense` gives a page
// with 20 in a line (800,000 in all, twice the length once converted).
QString accentedPage(bool dense)
{
    const QString prose = dense ? QStringLiteral("<P>%1: perché già così, più città è là; caffè, novità, virtù, "
                                                 "«Però» Ècco l'età d'oro ½ € ™ ñ ü</P>")
                                : QStringLiteral("<P>Riga %1: perché la città è già più bella, così dicono; caffè e "
                                                 "novità per l'università.</P>");
    QString page;
    page.reserve(qsizetype(kLines) * kLineLength);
    for (int i = 0; i < kLines; ++i)
        page += prose.arg(i).leftJustified(kLineLength - 1, u'.') + u'\n';
    return page;
}

const QString& page(bool dense = false)
{
    static const QString text = accentedPage(false);
    static const QString denseText = accentedPage(true);
    return dense ? denseText : text;
}

// The page with every listed character turned into its entity, as the conversion's edits make it.
QString convertedPage(bool dense)
{
    return calamo::testing::replacedText(page(dense), entityReplacements(page(dense)));
}

void BM_LoadAccentedPage5MB(benchmark::State& state)
{
    ShownEditor shown;
    for (auto _ : state)
        bench::loadShown(shown, page());
}
BENCHMARK(BM_LoadAccentedPage5MB)->Unit(benchmark::kMillisecond)->Iterations(5);

// Opening it from disk: reading, decoding, a new editor, the text put in and shown.
void BM_OpenAccentedPage5MB(benchmark::State& state)
{
    bench::benchmarkOpening(state, page());
}
BENCHMARK(BM_OpenAccentedPage5MB)->Unit(benchmark::kMillisecond)->Iterations(5);

// The engine alone: where the edits go.
void BM_EntityReplacements5MB(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(entityReplacements(page()).size());
}
BENCHMARK(BM_EntityReplacements5MB)->Unit(benchmark::kMillisecond);

void BM_ConvertAllAccentedPage5MB(benchmark::State& state)
{
    const bool dense = state.range(0) != 0;
    ShownEditor shown;
    std::size_t edits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench::loadShown(shown, page(dense));
        state.ResumeTiming();
        const QString text = shown.editor.text();
        const std::vector<TextReplacement> replacements = entityReplacements(text);
        replaceSpans(shown.editor, text, replacements);
        QCoreApplication::processEvents();
        edits = replacements.size();
    }
    state.counters["edits"] = static_cast<double>(edits);
    if (shown.editor.text() != convertedPage(dense))
        state.SkipWithError("the converted text is wrong");
}
BENCHMARK(BM_ConvertAllAccentedPage5MB)->ArgName("dense")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// Loading the converted page, for scale: conversion cannot take less than putting its result in.
void BM_LoadConvertedPage(benchmark::State& state)
{
    const QString converted = convertedPage(false);
    ShownEditor shown;
    for (auto _ : state)
        bench::loadShown(shown, converted);
}
BENCHMARK(BM_LoadConvertedPage)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char* argv[])
{
    return calamo::bench::runBenchmarks(argc, argv);
}
