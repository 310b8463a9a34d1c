#include "zShowApp.h"

#include "Platform.h"
#include "SingleInstance.h"
#include "SystemInfo.h"
#include "zOwningForm.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QHelpEvent>
#include <QLocale>
#include <QMetaMethod>
#include <QProxyStyle>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <QWindowStateChangeEvent>
#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif

#include <cmath>
#include <stdexcept>

namespace travaso {

namespace {

// Application-wide settings that Qt keeps nowhere of its own live as properties of the application.
constexpr const char* kHint = "travasoHint";
constexpr const char* kHelpFile = "travasoHelpFile";
constexpr const char* kShowHint = "travasoShowHint";
constexpr const char* kHintHidePause = "travasoHintHidePause";
constexpr const char* kShowMainForm = "travasoShowMainForm";

constexpr int kDefaultHintPause = 500;
constexpr int kDefaultHintHidePause = 2500;

QVariant AppSetting(const char* name, const QVariant& fallback)
{
    const QVariant v = qApp->property(name);
    return v.isValid() ? v : fallback;
}

// The style that gives tool tips the application's hint pause.
class HintPauseStyle : public QProxyStyle {
public:
    HintPauseStyle(const QString& base, int pause) : QProxyStyle(base), pause_(pause) {}
    int pause_;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return pause_;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

QString& ProcessShortDateFormat()
{
    static QString format = QLocale().dateFormat(QLocale::ShortFormat);
    return format;
}

const CpuInfo& Cpu()
{
    static const CpuInfo cpu = ReadCpu();
    return cpu;
}

QString Q(const std::string& s)
{
    return QString::fromLocal8Bit(s);
}

}  // namespace

QString FourDigitYear(const QString& format)
{
    const qsizetype at = format.indexOf(u'y');
    if (at < 0)
        return format;
    qsizetype end = at;
    while (end < format.size() && format[end] == u'y')
        ++end;
    QString out = format;
    if (end - at < 4)
        out.insert(end, QString(4 - (end - at), u'y'));
    return out;
}

QString TwoDigitYear(const QString& format)
{
    QString out = format;
    for (qsizetype at = out.indexOf(u"yyy"); at >= 0; at = out.indexOf(u"yyy"))
        out.remove(at, 1);
    return out;
}

QString ShortDateFormat()
{
    return ProcessShortDateFormat();
}

void SetShortDateFormat(const QString& format)
{
    ProcessShortDateFormat() = format;
}

Qt::WindowState ShowStateFor(int command)
{
    switch (command) {
    case 2:
    case 6:
    case 7:
        return Qt::WindowMinimized;
    case 3:
        return Qt::WindowMaximized;
    default:
        return Qt::WindowNoState;
    }
}

int StartupShowCommand(const QStringList& args)
{
    if (args.contains("-iconic"))
        return 7;
    if (args.contains("-maximized"))
        return 3;
    return 1;
}

TzShowApp::TzShowApp(QObject* owner)
    : QObject(owner),
      form_(OwningForm(owner)),
      shortDateAtStart_(ShortDateFormat()),
      executablePath_(QByteArray::fromStdString(travaso::ExecutablePath()))
{
    if (!form_)
        throw std::runtime_error("NoForm");
    cpuType_ = Cpu().family;
    FillEnvironment();
    SetShowMainForm(true);

    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            emit OnActivate(this);
        else if (state == Qt::ApplicationInactive)
            emit OnDeActivate(this);
    });
    connect(qApp, &QApplication::focusChanged, this, [this] { emit OnActiveControlChange(this); });
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] { emit OnActiveFormChange(this); });
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { emit OnIdle(this); });
#ifndef QT_NO_SESSIONMANAGER
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        const bool doEnd = AskEndSession();
        if (!doEnd && manager.allowsInteraction())
            manager.cancel();
    });
#endif
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (endingSession_)
            emit OnEndSession(this);
    });
}

TzShowApp::~TzShowApp() = default;

void TzShowApp::FillEnvironment()
{
    environment_.clear();
    for (const std::string& line : travaso::EnvironmentLines())
        environment_ << Q(line);
}

void TzShowApp::Loaded()
{
    if (useCmdShow_) {
        const Qt::WindowState state = ShowStateFor(StartupShowCommand(QCoreApplication::arguments()));
        form_->setWindowState(state);
    }
    cpuType_ = Cpu().family;
    if (!showOnStatusBar_) {
        // A tool window has no task-bar button.
        form_->setWindowFlag(Qt::Tool, true);
        if (showNonOnStatusBar_)
            form_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    FillEnvironment();
    if (!onlyOneInstance_)
        return;
    instance_ = std::make_unique<SingleInstance>(executablePath_);
    if (instance_->Claim()) {
        connect(instance_.get(), &SingleInstance::AnotherInstance, this, &TzShowApp::AnotherInstance);
        return;
    }
    second_ = true;
    form_->move(-form_->width() - 10, form_->y());
    bool bring = true;
    emit OnSecondInstance(this, bring);
    if (bring)
        instance_->NotifyFirst();
    else
        instance_->Leave();
    // At the first opportunity: the event loop may not run yet.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

bool TzShowApp::AskEndSession()
{
    bool doEnd = true;
    emit OnAskEndSession(this, doEnd);
    endingSession_ = doEnd;
    return doEnd;
}

void TzShowApp::AnotherInstance()
{
    if (!onlyOneInstance_ || second_)
        return;
    emit OnAnotherInstance(this);
    QWidget* top = form_->window();
    if (top->isMinimized())
        top->setWindowState((top->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    top->show();
    top->raise();
    top->activateWindow();
    // A dialog open over the form comes up after it.
    if (QWidget* popup = QApplication::activeModalWidget(); popup && popup != top) {
        if (popup->isMinimized())
            popup->setWindowState(popup->windowState() & ~Qt::WindowMinimized);
        popup->raise();
        popup->activateWindow();
    }
}

bool TzShowApp::ShowMainForm() const
{
    return AppSetting(kShowMainForm, true).toBool();
}

void TzShowApp::SetShowMainForm(bool on)
{
    qApp->setProperty(kShowMainForm, on);
}

void TzShowApp::SetShortDate(TzShortDateFormat format)
{
    shortDate_ = format;
    switch (format) {
    case sdfDontTouch:
        SetShortDateFormat(shortDateAtStart_);
        break;
    case sdf4DigitYear:
        SetShortDateFormat(FourDigitYear(ShortDateFormat()));
        break;
    case sdf2DigitYear:
        SetShortDateFormat(TwoDigitYear(ShortDateFormat()));
        break;
    }
}

QString TzShowApp::Title() const
{
    return QCoreApplication::applicationName();
}

// The application's name is what the desktop groups its windows by; it is not added to window titles.
void TzShowApp::SetTitle(const QString& title)
{
    QCoreApplication::setApplicationName(title);
}

QIcon TzShowApp::Icon() const
{
    return QApplication::windowIcon();
}

void TzShowApp::SetIcon(const QIcon& icon)
{
    QApplication::setWindowIcon(icon);
}

QString TzShowApp::HelpFile() const
{
    return AppSetting(kHelpFile, QString()).toString();
}

void TzShowApp::SetHelpFile(const QString& file)
{
    qApp->setProperty(kHelpFile, file);
}

QString TzShowApp::Hint() const
{
    return AppSetting(kHint, QString()).toString();
}

void TzShowApp::SetHint(const QString& hint)
{
    qApp->setProperty(kHint, hint);
}

bool TzShowApp::ShowHint() const
{
    return AppSetting(kShowHint, true).toBool();
}

void TzShowApp::SetShowHint(bool on)
{
    qApp->setProperty(kShowHint, on);
}

QColor TzShowApp::HintColor() const
{
    return QToolTip::palette().color(QPalette::ToolTipBase);
}

void TzShowApp::SetHintColor(const QColor& color)
{
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipBase, color);
    palette.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(palette);
}

int TzShowApp::HintPause() const
{
    if (auto* style = dynamic_cast<HintPauseStyle*>(QApplication::style()))
        return style->pause_;
    return kDefaultHintPause;
}

void TzShowApp::SetHintPause(int ms)
{
    if (auto* style = dynamic_cast<HintPauseStyle*>(QApplication::style()))
        style->pause_ = ms;
    else
        QApplication::setStyle(new HintPauseStyle(QApplication::style()->name(), ms));
}

int TzShowApp::HintHidePause() const
{
    return AppSetting(kHintHidePause, kDefaultHintHidePause).toInt();
}

void TzShowApp::SetHintHidePause(int ms)
{
    qApp->setProperty(kHintHidePause, ms);
}

QString TzShowApp::CPUVendor() const
{
    return Q(Cpu().vendor);
}

int TzShowApp::CPUModel() const
{
    return Cpu().model;
}

int TzShowApp::CPUStepping() const
{
    return Cpu().stepping;
}

bool TzShowApp::CPUMMX() const
{
    return Cpu().mmx;
}

int TzShowApp::CPUSpeed() const
{
    return travaso::CpuSpeed();
}

QString TzShowApp::CPUString() const
{
    return Q(CpuName(Cpu()));
}

unsigned TzShowApp::WinVerMajor() const
{
    return ReadOsVersion().major;
}

unsigned TzShowApp::WinVerMinor() const
{
    return ReadOsVersion().minor;
}

unsigned TzShowApp::WinVerBuild() const
{
    return ReadOsVersion().build;
}

QString TzShowApp::WindowsString() const
{
    return Q(OsVersionString(ReadOsVersion()));
}

QString TzShowApp::WinDir() const
{
    return Q(OsDirectory());
}

QString TzShowApp::SystemDir() const
{
    return Q(SystemLibraryDirectory());
}

QString TzShowApp::TempDir() const
{
    return Q(TempDirectory());
}

int TzShowApp::BitsPerColor() const
{
    const QScreen* screen = form_->screen() ? form_->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 0;
}

double TzShowApp::NumberOfColors() const
{
    return std::pow(2.0, BitsPerColor());
}

QString TzShowApp::ComputerName() const
{
    return Q(travaso::ComputerName());
}

QString TzShowApp::UserName() const
{
    return Q(travaso::UserName());
}

QString TzShowApp::IPHostName() const
{
    return enabledHostInfo_ ? Q(LookUpHost().name) : "-Unknown-";
}

QString TzShowApp::IPHostAddress() const
{
    return enabledHostInfo_ ? Q(LookUpHost().address) : "-Unknown-";
}

bool TzShowApp::ShowToolTip(QWidget* widget, QEvent* event)
{
    if (!ShowHint())
        return true;  // hints off: no tool tip at all
    QString text = widget->toolTip();
    bool canShow = !text.isEmpty();
    emit OnShowHint(text, canShow, widget);
    if (!canShow || text.isEmpty()) {
        QToolTip::hideText();
        return true;
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(), text, widget, QRect(), HintHidePause());
    return true;
}

bool TzShowApp::eventFilter(QObject* watched, QEvent* event)
{
    if (isSignalConnected(QMetaMethod::fromSignal(&TzShowApp::OnMessage))) {
        bool handled = false;
        emit OnMessage(watched, event, handled);
        if (handled)
            return true;
    }
    switch (event->type()) {
    case QEvent::ToolTip:
        if (auto* widget = qobject_cast<QWidget*>(watched))
            return ShowToolTip(widget, event);
        break;
    case QEvent::StatusTip:
        emit OnHint(this, static_cast<QStatusTipEvent*>(event)->tip());
        break;
    case QEvent::WindowStateChange:
        if (watched == form_) {
            const auto* change = static_cast<QWindowStateChangeEvent*>(event);
            const bool was = change->oldState() & Qt::WindowMinimized, is = form_->isMinimized();
            if (is && !was)
                emit OnMinimize(this);
            else if (was && !is)
                emit OnRestore(this);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace travaso
