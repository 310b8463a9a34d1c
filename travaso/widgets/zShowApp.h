#pragma once

#include <QColor>
#include <QIcon>
#include <QObject>
#include <QStringList>

#include <memory>

class QEvent;
class QWidget;

namespace travaso {

class SingleInstance;

enum TzShortDateFormat { sdfDontTouch, sdf4DigitYear, sdf2DigitYear };
enum WTypes { z_Windows, z_WFW, z_Win32S, z_NT, z_95, z_Linux };

// A short date format with its first run of "y" made four letters long.
QString FourDigitYear(const QString& format);
// A short date format with one "y" taken from every "yyy" until none is left: "yyyy" becomes "yy".
QString TwoDigitYear(const QString& format);
// The process-wide short date format (at first the locale's).
QString ShortDateFormat();
void SetShortDateFormat(const QString& format);

// The window state that a start-up show command asks for: 2, 6 and 7 minimised, 3 maximised, else normal.
Qt::WindowState ShowStateFor(int command);
// The start-up show command of a process started with args: 7 (minimised, not activated) with "-iconic",
// 3 (maximised) with "-maximized", else 1 (normal).
int StartupShowCommand(const QStringList& args);

// Configures the application from the form that carries it: one running copy per executable, the
// application's title, icon and hint settings, the start-up show state, the task-bar button, the
// answer to the desktop's end of session; and read-only facts about the machine. Its owner's window is
// its form; made without one it throws std::runtime_error("NoForm").
class TzShowApp : public QObject {
    Q_OBJECT

public:
    explicit TzShowApp(QObject* owner);
    ~TzShowApp() override;

    // Applies the settings once the form has set them: start-up show state, task-bar button, and, with
    // OnlyOneInstance, the single-instance check. A second start moves its form off the screen to the
    // left, fires OnSecondInstance, tells the first (unless the handler said no) and quits the application.
    void Loaded();

    bool OnlyOneInstance() const { return onlyOneInstance_; }
    void SetOnlyOneInstance(bool on) { onlyOneInstance_ = on; }
    bool UseCmdShow() const { return useCmdShow_; }
    void SetUseCmdShow(bool on) { useCmdShow_ = on; }
    bool ShowOnStatusBar() const { return showOnStatusBar_; }
    void SetShowOnStatusBar(bool on) { showOnStatusBar_ = on; }
    bool ShowNonOnStatusBar() const { return showNonOnStatusBar_; }
    void SetShowNonOnStatusBar(bool on) { showNonOnStatusBar_ = on; }
    bool ShowMainForm() const;
    void SetShowMainForm(bool on);
    bool EnabledHostInfo() const { return enabledHostInfo_; }
    void SetEnabledHostInfo(bool on) { enabledHostInfo_ = on; }
    TzShortDateFormat ShortDate() const { return shortDate_; }
    void SetShortDate(TzShortDateFormat format);
    // The executable whose copies meet: the running program unless set (tests set another).
    QByteArray ExecutablePath() const { return executablePath_; }
    void SetExecutablePath(const QByteArray& path) { executablePath_ = path; }
    bool IsSecondInstance() const { return second_; }

    // Application-wide settings, read from and written to the application.
    QString Title() const;
    void SetTitle(const QString& title);
    QIcon Icon() const;
    void SetIcon(const QIcon& icon);
    QString HelpFile() const;
    void SetHelpFile(const QString& file);
    QString Hint() const;
    void SetHint(const QString& hint);
    bool ShowHint() const;
    void SetShowHint(bool on);
    QColor HintColor() const;
    void SetHintColor(const QColor& color);
    int HintPause() const;
    void SetHintPause(int ms);
    int HintHidePause() const;
    void SetHintHidePause(int ms);

    // Facts about the machine, computed when read.
    int CPUType() const { return cpuType_; }
    QString CPUVendor() const;
    int CPUModel() const;
    int CPUStepping() const;
    bool CPUMMX() const;
    int CPUSpeed() const;
    QString CPUString() const;
    WTypes WindowKind() const { return z_Linux; }
    unsigned WinVerMajor() const;
    unsigned WinVerMinor() const;
    unsigned WinVerBuild() const;
    QString WindowsString() const;
    QString WinDir() const;
    QString SystemDir() const;
    QString TempDir() const;
    int BitsPerColor() const;
    double NumberOfColors() const;
    QString ComputerName() const;
    QString UserName() const;
    QString IPHostName() const;
    QString IPHostAddress() const;
    const QStringList& EnvironmentLines() const { return environment_; }

    // The answer to the desktop's end of session: true unless OnAskEndSession says otherwise.
    bool AskEndSession();
    // What a message from a second start does: fires OnAnotherInstance and brings the form to the front,
    // restored when minimised.
    void AnotherInstance();
    // The form the component configures.
    QWidget* Form() const { return form_; }

signals:
    void OnAskEndSession(TzShowApp* sender, bool& doEnd);
    void OnEndSession(TzShowApp* sender);
    void OnSecondInstance(TzShowApp* sender, bool& bringFirstInstanceToFront);
    void OnAnotherInstance(TzShowApp* sender);
    // The application's and the screen's events.
    void OnActivate(TzShowApp* sender);
    void OnDeActivate(TzShowApp* sender);
    void OnIdle(TzShowApp* sender);
    void OnMessage(QObject* receiver, QEvent* event, bool& handled);
    void OnHint(TzShowApp* sender, const QString& hint);
    void OnShowHint(QString& hint, bool& canShow, QWidget* control);
    void OnMinimize(TzShowApp* sender);
    void OnRestore(TzShowApp* sender);
    void OnActiveControlChange(TzShowApp* sender);
    void OnActiveFormChange(TzShowApp* sender);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillEnvironment();
    bool ShowToolTip(QWidget* widget, QEvent* event);

    QWidget* form_;
    bool onlyOneInstance_ = false;
    bool useCmdShow_ = false;
    bool showOnStatusBar_ = true;
    bool showNonOnStatusBar_ = false;
    bool enabledHostInfo_ = false;
    TzShortDateFormat shortDate_ = sdfDontTouch;
    QString shortDateAtStart_;
    QByteArray executablePath_;
    int cpuType_ = -1;
    QStringList environment_;
    bool second_ = false;
    bool endingSession_ = false;
    std::unique_ptr<SingleInstance> instance_;
};

}  // namespace travaso
