#pragma once
// The link checker's dialog "ARACNIDE": the location and its history, the run's options, the check
// list shown live, the gauge, and the Start (Suspend, resume), Clear list and Quit commands.
//
// Object names of the controls: "c" followed by the control's number ("c100" the location, "c300" the
// check list, "c80" the gauge, "c1" Start, "c10" Clear list, "c2" Quit, "c200" the credit button,
// "c201" the base display, "c500".."c502" the check boxes, "c600"/"c601" the radio buttons,
// "c202" the counter). The "Open File" button shares number 201 with the base display and is named
// "c201open". Controls without a number carry a name for their role ("lblLocation", "grpOptions",
// "frmSeparator", ...; see the table in dlgcheck.cpp).

#include "dialogunits.h"

#include <QDialog>
#include <QIcon>
#include <QString>

#include <chrono>
#include <optional>
#include <string>

class QComboBox;
class QLineEdit;
class QCheckBox;
class QRadioButton;
class QLabel;
class QListView;
class QPushButton;

namespace aracnide {

struct RunContext;
class Profile;
class Prompts;
class WindowLister;
class Gauge;
class CheckListModel;
struct StartOutcome;

// The dialog's control numbers (its object names are "c" and the number).
enum ControlId : int {
    kIdStart = 1,
    kIdQuit = 2,
    kIdClear = 10,
    kIdGauge = 80,
    kIdLocation = 100,
    kIdUser = 101,
    kIdPassword = 102,
    kIdTimeout = 103,
    kIdCredit = 200,
    kIdBase = 201,
    kIdOpenFile = 201,  // shares the base display's number
    kIdCounter = 202,
    kIdList = 300,
    kIdLocalLinks = 500,
    kIdExternalLinks = 501,
    kIdSizes = 502,
    kIdOnlyErrors = 600,
    kIdEverything = 601,
};

// The credit button's mail address.
inline constexpr char kCreditMail[] = "mailto:aracnide@example.org";

class DlgCheck : public QDialog {
    Q_OBJECT
public:
    DlgCheck(RunContext& ctx, Profile& ini, Prompts& prompts, WindowLister& windows, const QString& version,
             QWidget* parent = nullptr);
    ~DlgCheck() override;

    // The dialog's commands by control number: Start, Quit, Clear list, the credit button, Open File.
    void Command(int id);
    DialogBase Base() const { return base_; }

    void reject() override;  // Escape and the window's close button: Quit

    // A settings write failed: the user is told once, for the whole dialog.
    void SettingsWriteFailed(const std::string& error);

    // The shortest time between two updates of the list, the counter and the gauge during a run.
    static constexpr int kRepaintMs = 50;

protected:
    void changeEvent(QEvent* event) override;

private:
    void CreateControls();
    void OnInitDialog();
    void StartCommand();
    void RunSetUp(const StartOutcome& out);
    void ClearCommand();
    void QuitCommand();
    void ShowState();
    // Brings the list, the counter and the gauge up to date with the run (at most every kRepaintMs
    // unless `now`). Whether it did.
    bool Flush(bool now);

    RunContext& ctx_;
    Profile& ini_;
    Prompts& prompts_;
    WindowLister& windows_;
    QString version_;
    DialogBase base_;

    QComboBox* location_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* pass_ = nullptr;
    QLineEdit* timeout_ = nullptr;
    QCheckBox* localLinks_ = nullptr;
    QCheckBox* externalLinks_ = nullptr;
    QCheckBox* sizes_ = nullptr;
    QRadioButton* onlyErrors_ = nullptr;
    QRadioButton* everything_ = nullptr;
    QLabel* baseDisplay_ = nullptr;
    QListView* list_ = nullptr;
    QLabel* counter_ = nullptr;
    Gauge* gauge_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* quit_ = nullptr;
    QPushButton* credit_ = nullptr;
    QPushButton* openFile_ = nullptr;

    CheckListModel* listModel_ = nullptr;

    QIcon previousIcon_;
    bool minimisedIcon_ = false;
    bool settingsErrorShown_ = false;
    bool bLogData_ = false;  // read from the settings at start; no control shows it
    // What the run reported since the last flush.
    int pendingPercent_ = -1;
    std::pair<int, int> pendingCounter_;  // done, count
    bool counterPending_ = false;
    std::optional<std::chrono::steady_clock::time_point> lastFlush_;  // on the run's clock
};

// The window title while minimised and the icon shown then.
QIcon AracnideIcon();

}  // namespace aracnide
