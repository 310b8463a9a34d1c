#include "Opening.h"

#include "Prompts.h"

namespace travaso {

namespace {

// The measuring's reports, passed on to the window and to the boxes.
class MeasureReports : public MeasureObserver {
public:
    MeasureReports(OpeningObserver& observer, Prompts& prompts) : observer_(observer), prompts_(prompts) {}
    bool ProcessMessages() override { return observer_.ProcessMessages(); }
    void TreeListFull() override { prompts_.Message("Albero riempito (troppe voci)"); }

private:
    OpeningObserver& observer_;
    Prompts& prompts_;
};

// The folder of the program, with its trailing "/".
std::string SourceOf(const std::string& executable)
{
    const auto slash = executable.rfind('/');
    return slash == std::string::npos ? std::string("./") : executable.substr(0, slash + 1);
}

// The steps up to the space decision; an error's text is left in outcome.error.
void Open(FileSystem& fs, const CopierEnvironment& env, OpeningObserver& observer, Prompts& prompts,
          OpeningOutcome& outcome)
{
    CopierPaths& paths = outcome.paths;
    observer.Log("Inizializzazione in corso");
    paths.source = SourceOf(env.executablePath);
    paths.executable = env.executablePath;
    paths.targetRoot = env.targetRoot;
    const DescriptiveText text = ReadDescriptiveText(fs, paths.source);
    if (!text.error.empty()) {
        outcome.error = text.error;
        return;
    }
    observer.ShowDescriptiveText(text.data);

    paths.target = TargetDirectoryFor(env.targetRoot, paths.source);
    if (paths.target.empty()) {
        outcome.error =
            "Il programma si trova nella radice del file system: manca il nome della directory di destinazione";
        return;
    }
    observer.ShowTarget(paths.target);
    observer.Log("Copia da: " + paths.source);
    // A target that is, holds or lies in the source would copy files over themselves: refused before anything.
    if (std::string overlap = FindOverlap(fs, paths.source, paths.target); !overlap.empty()) {
        outcome.error = std::move(overlap);
        return;
    }

    MeasureReports reports(observer, prompts);
    MeasureOutcome measured = MeasureSource(fs, paths, reports, env.treeCapacity);
    if (measured.stopped) {
        outcome.stopped = true;
        return;
    }
    if (!measured.measurement) {
        outcome.error = std::move(measured.error);
        return;
    }
    const Measurement& m = outcome.measurement.emplace(std::move(*measured.measurement));
    observer.Log("Spazio richiesto: " + FormatThousands(m.required) + " byte" + " (" + std::to_string(m.FilesToCopy()) +
                 " file)");
    observer.Log("Spazio libero su " + env.targetRoot + ": " + FormatThousands(m.free) + " byte");
    observer.Log(m.EnoughSpace() ? "Pronto per la copia" : "Spazio insufficiente!");
}

}  // namespace

OpeningOutcome RunOpening(FileSystem& fs, const CopierEnvironment& env, OpeningObserver& observer, Prompts& prompts)
{
    OpeningOutcome outcome;
    Open(fs, env, observer, prompts, outcome);
    if (!outcome.error.empty())
        prompts.ErrorBox(outcome.error);
    return outcome;
}

}  // namespace travaso
