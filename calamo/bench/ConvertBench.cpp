// "Converti tutto" on a 5 MB page full of accented letters, next to loading the same page into the editor, so
// the two figures compare within one run on one machine.

#include "BenchEditor.h"
#include "Conversions.h"
#include "DocumentEdits.h"

namespace {

using namespace calamo;
using bench::ShownEditor;

constexpr int kLines = 40'000;
constexpr int kLineLength = 125;  // 40,000 lines of 125 characters: 5 MB

// Italian prose in paragraphs: about one character in eight is a listed one (25 a line, a million in all).
QString accentedPage()
{
    QString page;
    page.reserve(qsizetype(kLines) * kLineLength);
    for (int i = 0; i < kLines; ++i) {
        QString line = QStringLiteral("<P>%1: perché già così, più città è là; caffè, novità, virtù, «Però» "
                                      "Ècco l'età d'oro ½ € ™ ñ ü</P>")
                           .arg(i);
        page += line.leftJustified(kLineLength - 1, u'.') + u'\n';
    }
    return page;
}

const QString& page()
{
    static const QString text = accentedPage();
    return text;
}

void BM_LoadAccentedPage5MB(benchmark::State& state)
{
    ShownEditor shown;
    for (auto _ : state)
        bench::loadShown(shown, page());
}
BENCHMARK(BM_LoadAccentedPage5MB)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ConvertAllAccentedPage5MB(benchmark::State& state)
{
    ShownEditor shown;
    std::size_t edits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench::loadShown(shown, page());
        state.ResumeTiming();
        const std::vector<TextReplacement> replacements = entityReplacements(shown.editor.text());
        replaceSpans(shown.editor, replacements);
        QCoreApplication::processEvents();
        edits = replacements.size();
    }
    state.counters["edits"] = static_cast<double>(edits);
    state.PauseTiming();
    if (shown.editor.text() != convertToEntities(page()))
        state.SkipWithError("the converted text is wrong");
    state.ResumeTiming();
}
BENCHMARK(BM_ConvertAllAccentedPage5MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char* argv[])
{
    return calamo::bench::runBenchmarks(argc, argv);
}
