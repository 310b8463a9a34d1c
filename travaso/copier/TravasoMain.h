#pragma once

#include "Clock.h"
#include "CopierEnvironment.h"
#include "CopyJob.h"
#include "Opening.h"
#include "Prompts.h"
#include "zBigLabel.h"
#include "zGradBtn.h"

#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;
class QTimer;

namespace travaso {

class FileSystem;
class TzBackground;
class TzGauge;
class TzShowApp;

// The copier's window: shows what the core's opening reports (the descriptive text beside the program, the
// target, the log of the measuring and the space decision), and on request has the core copy the tree (except
// the program) into the target. The window turns each copy step into its log line and gauge value.
class TForm1 : public QWidget, private OpeningObserver, private CopyObserver {
    Q_OBJECT

public:
    TForm1(CopierEnvironment environment, FileSystem& fs, Prompts& prompts, const Clock& clock,
           QWidget* parent = nullptr);

    // The opening sequence; runs once, just after the window is first shown.
    void FormShow();
    void btnCopiaClick();
    void btnTerminaClick();

    TzGradBtn* btnCopia;
    TzGauge* Gauge;
    TzGradBtn* btnTermina;
    QPlainTextEdit* Memo1;
    QLabel* Label1;
    TzBigLabel* lblDest;
    QTextEdit* Memo2;
    TzShowApp* zShowApp1;
    TzBackground* zBackground1;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void LoadApplicationComponent();
    // Brings the lines gathered since the last time to the screen at once, painted now.
    void FlushLog();
    void SetButtons(bool copia, bool termina);

    void Log(const std::string& line) override;
    void ShowDescriptiveText(const std::string& data) override;
    void ShowTarget(const std::string& target) override;
    bool ProcessMessages() override;
    void TargetExisted(const std::string& target) override;
    void DirectoryCreated(const std::string& path) override;
    void FileCopied(const std::string& source, std::int64_t bytes, std::int32_t copiedSoFar) override;

    // The window's boxes: the log's pending lines reach the screen before a box opens over them.
    class BoxesAfterLog : public Prompts {
    public:
        BoxesAfterLog(TForm1& form, Prompts& prompts) : form_(form), prompts_(prompts) {}
        void Message(std::string_view text) override;
        void ErrorBox(std::string_view text) override;

    private:
        TForm1& form_;
        Prompts& prompts_;
    };

    CopierEnvironment env_;
    FileSystem& fs_;
    BoxesAfterLog boxes_;
    CopierPaths paths_;  // kept as bytes: the label only shows them
    TreeList tree_;      // measured at opening, copied by the copy run; freed when the window closes
    const Clock& clock_;
    Clock::TimePoint lastEvents_{};  // the last event pass while measuring
    QStringList pendingLog_;         // lines not yet in Memo1
    // A long run brings its lines to the screen at the display's pace; unset before the first lines.
    std::optional<Clock::TimePoint> lastLogFlush_;
    QTimer* logTimer_ = nullptr;  // brings the last lines when the event loop runs again
    bool opened_ = false;
    bool closing_ = false;
};

// Qt lays out one line in time that grows much faster than its length: the descriptive text is shown with
// no line longer than this, a longer one going on in the next line (the view wraps long lines anyway).
inline constexpr qsizetype MaxShownLine = 1024;

// Shows the descriptive text's bytes in view: formatted when they are rich text, else as plain text.
void ShowDescriptiveText(QTextEdit* view, const std::string& data);

}  // namespace travaso
