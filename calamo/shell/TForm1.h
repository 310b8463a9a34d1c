#pragma once

#include "Commands.h"
#include "Config.h"
#include "DocumentTable.h"
#include "ProgramLauncher.h"
#include "Recovery.h"
#include "TextEditor.h"

#include <QMainWindow>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class QAction;
class QFrame;
class QStatusBar;
class QTabBar;
class QToolButton;

namespace calamo {

class Clock;
class ClockTimer;
class EditorControl;
class FileSystem;
class FindPanel;
class Prompts;
class PropertyPanels;
class TColoripre;
class TConvert;
class TModulo;
class TSetup;
class TShort;

// The editor's main window: menus, toolbar band, tab strip, editors, property panels and status bar.
// It lays its controls out by the design's pixel rule and hands every command to the document table and the
// tag inserters.
class TForm1 final : public QMainWindow, public CommandTarget, private EditorHost {
    Q_OBJECT
public:
    // `prompts` answers every modal question, `files` does every file's reading and writing and `clock` times
    // the title's tick and the recovery copies; `programDir` holds the temporary files (with a final "/").
    TForm1(Prompts& prompts, FileSystem& files, Clock& clock, const QString& programDir, QWidget* parent = nullptr);
    ~TForm1() override;

    DocumentTable& documents() { return documents_; }
    const Config& config() const { return config_; }
    PropertyPanels& panels() { return *panels_; }
    // Size of the area below the menu bar, the coordinate space of the controls.
    QSize clientSize() const;
    void resizeClient(QSize size);

    // Commands, named after the controls that run them.
    void NuovoClick() override { documents_.NuovoClick(); }
    void ApriClick() override { documents_.ApriClick(); }
    void SalvaClick() override { documents_.SalvaClick(); }
    void Speed46Click() override { documents_.Speed46Click(); }
    void SalvanomeClick() { documents_.SalvanomeClick(); }
    void StampaClick() override { documents_.StampaClick(); }
    void TagliaClick() override { documents_.TagliaClick(); }
    void CopiaClick() override { documents_.CopiaClick(); }
    void IncollaClick() override { documents_.IncollaClick(); }
    // The form builder: Speed33 opens its "Nuovo Modulo" page modally, the buttons of the objects panel open
    // their pages beside the window.
    void Speed33Click() override;
    void SpeedButton1Click();  // text field
    void SpeedButton2Click();  // check box or radio button
    void SpeedButton4Click();  // push button
    void SpeedButton5Click();  // hidden field
    void SpeedButton6Click();  // text area
    void SpeedButton7Click();  // selection list
    TModulo& modulo() { return *modulo_; }
    void EsciClick();
    void InfoClick();
    void ChiudiClick() { documents_.ChiudiClick(); }
    // Runs the toolbar inserter of SpeedNN.
    void SpeedClick(int button) override;
    void Speed34Click();
    // FrButton01Click .. FrButton11Click: a new document holding frameset template `button` (1..11).
    void FrButtonClick(int button);
    TSetup& setup() { return *setup_; }
    void TextChange(int keyCode, Modifiers held);
    void Timer2Timer();
    void FormResize();
    void ColoraTag();
    void Speed44Click() override;  // preview in browser 1
    void Speed45Click() override;  // preview in browser 2
    void BrowClick();
    void Speed23Click() override;  // show the find panel
    void Button1Click();           // find from the start
    void Button3Click();           // find next
    void Button2Click();           // replace all
    void Button4Click();           // close the find panel
    bool findPanelVisible() const;
    // The utility dialogs, each shown modally.
    void ConversioneClick();
    void ColoriClick();
    void RapidaClick();

    // Recovery copies: while a document is modified its text is kept in `folder`, written at most 2 seconds
    // after its last change, removed when it is saved or closed. Off until this is called.
    void enableRecovery(const QString& folder);
    // Offers the copies that editors which no longer run left behind (once, after start-up).
    void offerRecovery();
    // Writes the copy of every modified document now and waits, a few seconds at most, until they are written.
    void writeRecoveryNow();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // EditorHost
    TextEditor& createEditor() override;
    void destroyEditor(TextEditor& editor) override;
    void addTab(const QString& caption) override;
    void removeTab(int index) override;
    void selectTab(int index) override;
    void setTabCaption(int index, const QString& caption) override;
    int tabCount() const override;
    void applyLayout() override;
    void setUpNewDocument(TextEditor& editor) override;

    void createMenus();
    void createToolbar();
    void createTabs();
    void loadConfiguration();
    QToolButton* addToolButton(QFrame* group, const QString& name, const QString& hint, std::function<void()> handler);
    QFrame* addGroup(const QString& name, QList<QAction*> contextActions);
    void setContextActions(QWidget* widget, QList<QAction*> actions);

    void scheduleRecoveryCopy(int serial);
    // Queues the copies of the modified documents among `serials` (all of them when empty).
    void writeRecoveryCopies(const std::set<int>& serials);
    void dropRecoveryCopy(int serial);
    QString recoveryKey(int serial) const;
    void recoveryWriteFailed(const QString& error);

    Prompts& prompts_;
    FileSystem& files_;
    Clock& clock_;
    QString programDir_;
    QWidget* client_ = nullptr;
    QWidget* controlBar_ = nullptr;
    QTabBar* lingue_ = nullptr;
    QStatusBar* status_ = nullptr;
    std::unique_ptr<ClockTimer> timer2_;
    std::unique_ptr<PropertyPanels> panels_;
    std::vector<EditorControl*> editors_;  // children of the client area, in creation order
    DocumentTable documents_;
    Config config_;
    int tipNumber_ = 0;
    std::unique_ptr<FindPanel> findPanel_;
    TSetup* setup_ = nullptr;  // the page setup dialog, a child of the window, made once and reused
    // The utility dialogs, children of the window, made once and reused.
    TConvert* convert_ = nullptr;
    TColoripre* coloripre_ = nullptr;
    TShort* short_ = nullptr;
    TModulo* modulo_ = nullptr;  // the form builder, likewise
    ProcessLauncher launcher_;
    int groupX_ = 2;
    int groupY_ = 2;

    std::optional<RecoveryFolder> recovery_;
    ProcessStamp self_;
    std::unique_ptr<ClockTimer> recoveryTimer_;
    qint64 pendingSince_ = 0;  // steady ms of the oldest change not yet copied
    std::set<int> pendingCopies_;
    bool toldRecoveryFailure_ = false;
    QThreadPool recoveryWriter_;  // one thread: copies written and removed in the order asked, off the window's
};

}  // namespace calamo
