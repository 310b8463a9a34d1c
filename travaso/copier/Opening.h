#pragma once

// The copier's opening without its window: the descriptive text, the target, the overlap test, the
// measuring and the space decision, each step reported as it happens and written to the log.

#include "CopierEnvironment.h"
#include "CopyJob.h"

#include <optional>
#include <string>

namespace travaso {

class Prompts;

// What the window shows of the opening as it goes.
class OpeningObserver {
public:
    virtual ~OpeningObserver() = default;
    virtual void Log(const std::string& line) = 0;
    // The bytes of the descriptive text beside the program; empty when there is none.
    virtual void ShowDescriptiveText(const std::string& data) = 0;
    virtual void ShowTarget(const std::string& target) = 0;
    // After every tree entry while measuring, so the window can process pending messages. False stops the
    // opening (the window closing).
    virtual bool ProcessMessages() { return true; }
};

struct OpeningOutcome {
    CopierPaths paths;
    std::optional<Measurement> measurement;  // set once the measuring has ended
    std::string error;                       // set when an error ended the opening (shown in the error box)
    bool stopped = false;                    // the observer stopped it

    // The copy may start: measured, with room at the target.
    bool Ready() const { return measurement && measurement->EnoughSpace(); }
};

// The opening for the program at env.executablePath, whose folder is the source. A full tree list and an
// error that ends the opening are shown through prompts; a stopped opening shows nothing more.
OpeningOutcome RunOpening(FileSystem& fs, const CopierEnvironment& env, OpeningObserver& observer, Prompts& prompts);

}  // namespace travaso
