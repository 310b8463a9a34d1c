#include "dlgcheck.h"

#include "browser.h"
#include "checklist.h"
#include "cp1252.h"
#include "gauge.h"
#include "prompts.h"
#include "run.h"
#include "settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QWindowStateChangeEvent>

#include <optional>

namespace aracnide {

namespace {

const QString kTitle = QStringLiteral("Aracnide Links");
const QString kTitreMb = QStringLiteral("Aracnide");
const QString kCreditText = QStringLiteral("Aracnide Links - mail the author - v");
constexpr int kDialogWidth = 360, kDialogHeight = 276;  // dialog units
constexpr int kListTabStop = 310;                       // dialog units
constexpr size_t kMaxLocation = 250;

enum class Kind { Label, Combo, Edit, Check, Group, Radio, BorderLabel, List, GaugeBar, Frame, Push, DefPush };

// The dialog's controls in creation order, which is also the tab order. Position in dialog units.
struct ControlSpec {
    int id;
    Kind kind;
    const char* caption;
    int x, y, w, h;
    const char* name;
};
constexpr ControlSpec kControls[] = {
    {-1, Kind::Label, "Location :", 8, 6, 44, 10, "lblLocation"},
    {kIdLocation, Kind::Combo, "", 56, 4, 240, 89, "c100"},
    {-1, Kind::Label, "Username :", 16, 34, 60, 10, "lblUsername"},
    {kIdUser, Kind::Edit, "", 80, 32, 50, 12, "c101"},
    {-1, Kind::Label, "Password :", 146, 34, 40, 10, "lblPassword"},
    {kIdPassword, Kind::Edit, "", 190, 32, 50, 12, "c102"},
    {-1, Kind::Label, "Timeout :", 256, 34, 34, 10, "lblTimeout"},
    {kIdTimeout, Kind::Edit, "", 294, 32, 14, 12, "c103"},
    {-1, Kind::Label, "s", 311, 34, 7, 9, "lblSeconds"},
    {kIdLocalLinks, Kind::Check, " &Local links", 80, 50, 60, 12, "c500"},
    {kIdExternalLinks, Kind::Check, " &External links", 150, 50, 90, 12, "c501"},
    {kIdSizes, Kind::Check, " &Images -> size", 260, 50, 84, 12, "c502"},
    {-1, Kind::Label, "Report content :", 16, 68, 60, 8, "lblReportContent"},
    {-1, Kind::Group, " Options ", 10, 20, 340, 64, "grpOptions"},
    {kIdOnlyErrors, Kind::Radio, " only errors", 80, 66, 60, 12, "c600"},
    {kIdEverything, Kind::Radio, " Everything (links, page size)", 150, 66, 111, 12, "c601"},
    {-1, Kind::Label, "Base HREF :", 150, 97, 46, 10, "lblBaseHref"},
    {kIdBase, Kind::BorderLabel, "", 200, 95, 150, 12, "c201"},
    {-1, Kind::Label, "Checked URLs :", 5, 98, 60, 10, "lblCheckedUrls"},
    {kIdList, Kind::List, "", 10, 111, 340, 118, "c300"},
    {kIdCounter, Kind::Label, "", 100, 231, 70, 8, "c202"},
    {kIdGauge, Kind::GaugeBar, "", 180, 229, 100, 12, "c80"},
    {-1, Kind::Frame, "", 0, 248, 360, 1, "frmSeparator"},
    {kIdStart, Kind::DefPush, "&Start", 180, 256, 50, 16, "c1"},
    {kIdClear, Kind::Push, "&Clear list", 240, 256, 50, 16, "c10"},
    {kIdQuit, Kind::Push, "&Quit", 300, 256, 50, 16, "c2"},
    {kIdCredit, Kind::Push, "", 12, 257, 150, 14, "c200"},
    {kIdOpenFile, Kind::Push, "&Open File", 300, 3, 50, 14, "c201open"},
    {-1, Kind::Label, "Check :", 16, 51, 60, 8, "lblCheck"},
};

bool StartsWithHttp(const QString& text)
{
    return text.startsWith(QStringLiteral("http"), Qt::CaseInsensitive);
}

}  // namespace

QIcon AracnideIcon()
{
    // A web: spokes and two rings, drawn so the program needs no image file.
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(160, 0, 0), 1.5));
    for (int k = 0; k < 8; ++k) {
        p.save();
        p.translate(16, 16);
        p.rotate(45.0 * k);
        p.drawLine(0, 0, 0, -15);
        p.restore();
    }
    p.drawEllipse(QPointF(16, 16), 6, 6);
    p.drawEllipse(QPointF(16, 16), 12, 12);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(16, 16), 3, 3);
    return QIcon(pm);
}

DlgCheck::DlgCheck(RunContext& ctx, Profile& ini, Prompts& prompts, WindowLister& windows, const QString& version,
                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      ctx_(ctx),
      ini_(ini),
      prompts_(prompts),
      windows_(windows),
      version_(version.left(4))
{
    setObjectName(QStringLiteral("ARACNIDE"));
    setWindowTitle(kTitle);
    setFont(DialogFont());
    base_ = BaseUnits(font());
    setFixedSize(DuToX(kDialogWidth, base_), DuToY(kDialogHeight, base_));
    CreateControls();
    OnInitDialog();
}

DlgCheck::~DlgCheck()
{
    ctx_.observer = {};
}

void DlgCheck::CreateControls()
{
    QGroupBox* group = nullptr;
    for (const ControlSpec& c : kControls) {
        const QString caption = QString::fromLatin1(c.caption);
        QWidget* w = nullptr;
        switch (c.kind) {
        case Kind::Label: {
            auto* l = new QLabel(caption, this);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            w = l;
            if (c.id == kIdCounter)
                counter_ = l;
            break;
        }
        case Kind::BorderLabel:
            baseDisplay_ = new QLabel(this);
            baseDisplay_->setFrameStyle(QFrame::Box | QFrame::Plain);
            baseDisplay_->setTextFormat(Qt::PlainText);
            w = baseDisplay_;
            break;
        case Kind::Combo:
            location_ = new QComboBox(this);
            location_->setEditable(true);
            location_->setInsertPolicy(QComboBox::NoInsert);  // the history list changes only at start
            location_->setMaxVisibleItems(6);
            w = location_;
            break;
        case Kind::Edit: {
            auto* e = new QLineEdit(this);
            (c.id == kIdUser ? user_ : c.id == kIdPassword ? pass_ : timeout_) = e;
            if (c.id == kIdPassword)
                e->setEchoMode(QLineEdit::Password);
            w = e;
            break;
        }
        case Kind::Check: {
            auto* b = new QCheckBox(caption, this);
            (c.id == kIdLocalLinks ? localLinks_ : c.id == kIdExternalLinks ? externalLinks_ : sizes_) = b;
            w = b;
            break;
        }
        case Kind::Radio: {
            auto* b = new QRadioButton(caption, this);
            (c.id == kIdOnlyErrors ? onlyErrors_ : everything_) = b;
            w = b;
            break;
        }
        case Kind::Group:
            group = new QGroupBox(caption, this);
            w = group;
            break;
        case Kind::List:
            list_ = new QListView(this);
            list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
            list_->setSelectionMode(QAbstractItemView::SingleSelection);
            list_->setUniformItemSizes(true);
            list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            list_->setFrameStyle(QFrame::Box | QFrame::Plain);
            w = list_;
            break;
        case Kind::GaugeBar:
            gauge_ = new Gauge(this);
            w = gauge_;
            break;
        case Kind::Frame: {
            auto* f = new QFrame(this);
            f->setAutoFillBackground(true);
            QPalette pal = f->palette();
            pal.setColor(QPalette::Window, Qt::black);
            f->setPalette(pal);
            w = f;
            break;
        }
        case Kind::Push:
        case Kind::DefPush: {
            auto* b = new QPushButton(caption, this);
            b->setAutoDefault(false);
            b->setDefault(c.kind == Kind::DefPush);
            const int id = c.id;
            connect(b, &QPushButton::clicked, this, [this, id] { Command(id); });
            switch (c.id) {
            case kIdStart:
                start_ = b;
                break;
            case kIdClear:
                clear_ = b;
                break;
            case kIdQuit:
                quit_ = b;
                break;
            case kIdCredit:
                credit_ = b;
                b->setFocusPolicy(Qt::NoFocus);  // no tab stop
                break;
            default:
                openFile_ = b;
                break;
            }
            w = b;
            break;
        }
        }
        w->setObjectName(QString::fromLatin1(c.name));
        QRect r = DuToPixels(QRect(c.x, c.y, c.w, c.h), base_);
        if (c.kind == Kind::Combo)
            r.setHeight(location_->sizeHint().height());  // the table's height is that of the open list
        w->setGeometry(r);
    }
    // The group box is drawn behind the controls that it frames and must not take their mouse clicks.
    group->lower();
}

void DlgCheck::OnInitDialog()
{
    // History, newest first; no item is selected.
    for (const std::string& url : LoadHistory(ini_))
        location_->addItem(FromBytes(url));
    location_->setCurrentIndex(-1);
    location_->setEditText(QString());

    // Browser detection; the clipboard stands in when no browser shows an address.
    QString found = QString::fromStdString(EnumWindowsProc(windows_));
    if (!StartsWithHttp(found) && QGuiApplication::clipboard())
        found = QGuiApplication::clipboard()->text().trimmed().section(u'\n', 0, 0);
    if (StartsWithHttp(found))
        location_->setEditText(found.left(static_cast<int>(kMaxLocation)));

    const DialogSettings s = LoadDialogSettings(ini_);
    user_->setText(FromCp1252(s.szUser));
    pass_->setText(FromCp1252(s.szPass));
    timeout_->setText(FromCp1252(s.Timeout));

    gauge_->SetPercent(0);
    ctx_.LB.SetTabStops({kListTabStop});
    listModel_ = new CheckListModel(ctx_.model, list_);
    list_->setModel(listModel_);
    list_->setItemDelegate(new TabDelegate(DuToX(kListTabStop, base_), list_));

    localLinks_->setChecked(s.bRLS);
    externalLinks_->setChecked(s.bCEL);
    sizes_->setChecked(s.bCalcSize);
    bLogData_ = s.bLogData;
    (s.ReportOpt == 1 ? everything_ : onlyErrors_)->setChecked(true);

    credit_->setText(kCreditText + version_);
    ctx_.szVersion = version_.toStdString();

    RunObserver& o = ctx_.observer;
    // A flush just before the events are taken: its repaint happens at once, so repaints are spaced
    // as the flushes are.
    o.yield = [this] {
        const bool flushed = Flush(false);
        QCoreApplication::processEvents();
        if (flushed)
            lastFlush_ = ctx_.clock->Now();  // the interval runs from the end of the repaint
    };
    // During a run the figures wait for the next flush; outside one they show at once.
    o.progress = [this](int percent) {
        pendingPercent_ = percent;
        if (!Busy(ctx_))
            Flush(true);
    };
    o.counter = [this](int done, int count) {
        pendingCounter_ = {done, count};
        counterPending_ = true;
        if (!Busy(ctx_))
            Flush(true);
    };
    o.baseChanged = [this](const std::string& base) { baseDisplay_->setText(FromBytes(base)); };
    o.stateChanged = [this](int) {
        Flush(true);
        ShowState();
    };
    o.showReport = [this](const std::string& path) { prompts_.OpenReport(QString::fromStdString(path)); };
    o.reportFailed = [this](const std::string& text) {
        prompts_.Message(this, QString::fromLocal8Bit(text.c_str()), kTitreMb);
    };
    o.runSetUp = [this](const StartOutcome& out) { RunSetUp(out); };
    ShowState();
}

void DlgCheck::Command(int id)
{
    switch (id) {
    case kIdStart:
        StartCommand();
        break;
    case kIdQuit:
        QuitCommand();
        break;
    case kIdClear:
        ClearCommand();
        break;
    case kIdCredit:
        prompts_.OpenUrl(QString::fromLatin1(kCreditMail));
        break;
    case kIdOpenFile: {
        const QString file = prompts_.OpenFileName(this, kTitreMb, QStringLiteral("HTML Document (*.htm*)"));
        if (!file.isEmpty())
            location_->setEditText(file);
        break;
    }
    default:
        break;
    }
}

void DlgCheck::StartCommand()
{
    RunRequest request;
    request.location = ToBytes(location_->currentText());
    if (request.location.size() > kMaxLocation)
        request.location.resize(kMaxLocation);
    request.timeoutText = ToCp1252(timeout_->text());
    RunSettings& s = request.settings;
    if (ctx_.CheckStatus == kIdle && !ctx_.settingUp) {  // only a new run reads the fields
        std::string error;
        const std::optional<int> timeout = ParseTimeout(request.timeoutText, error);
        if (!timeout) {
            prompts_.Message(this, QStringLiteral("Timeout: ") + FromCp1252(error), kTitreMb);
            return;
        }
        s.Timeout = *timeout;
    }
    s.jobs = kDefaultJobs;  // crawls ahead like the command line; the report is that of one request at a time
    s.perHost = kDefaultPerHost;
    s.bRLS = localLinks_->isChecked();
    s.bCEL = externalLinks_->isChecked();
    s.bCalcSize = sizes_->isChecked();
    s.bLogData = bLogData_;
    s.ReportOpt = everything_->isChecked() ? 1 : 0;
    s.szUser = ToCp1252(user_->text());
    s.szPass = ToCp1252(pass_->text());
    for (int i = 0; i < location_->count(); ++i)
        request.history.push_back(ToBytes(location_->itemText(i)));

    const StartOutcome out = Start(ctx_, request, &ini_);
    Flush(true);
    ShowState();
    switch (out.result) {
    case StartOutcome::ReportFailed:
        prompts_.Message(this, QString::fromStdString(out.message), kTitreMb);
        break;
    case StartOutcome::ListFileFailed:
        // The box shows the file's name, with the system's text for the failure as its caption.
        prompts_.Message(this, FromBytes(out.fileName), QString::fromLocal8Bit(out.message.c_str()));
        break;
    default:
        break;
    }
    if (!out.settingsError.empty())
        SettingsWriteFailed(out.settingsError);
}

void DlgCheck::RunSetUp(const StartOutcome& out)
{
    if (out.listFile) {
        localLinks_->setChecked(false);
        externalLinks_->setChecked(true);
    } else {
        location_->setEditText(FromBytes(out.location));
    }
    Flush(true);
}

void DlgCheck::SettingsWriteFailed(const std::string& error)
{
    if (settingsErrorShown_)
        return;
    settingsErrorShown_ = true;
    prompts_.Message(this,
                     QStringLiteral("The settings could not be saved in %1: %2")
                         .arg(FromBytes(ini_.Path()), QString::fromLocal8Bit(error.c_str())),
                     kTitreMb);
}

void DlgCheck::ClearCommand()
{
    if (!ClearRun(ctx_))
        return;
    Flush(true);
    counter_->clear();
    counterPending_ = false;
}

void DlgCheck::QuitCommand()
{
    if (!QuitRun(ctx_))
        return;  // the run's list and report must not be pulled away under it
    QDialog::done(QDialog::Rejected);
}

void DlgCheck::reject()
{
    QuitCommand();
}

void DlgCheck::ShowState()
{
    start_->setText(ctx_.CheckStatus == kRunning ? QStringLiteral("&Suspend") : QStringLiteral("&Start"));
    // A suspended run stops at its next step; until then its list and report are still in use.
    const bool busy = Busy(ctx_);
    quit_->setEnabled(!busy);
    clear_->setEnabled(!busy);
}

bool DlgCheck::Flush(bool now)
{
    if (!now && lastFlush_ && ctx_.clock->Now() - *lastFlush_ < std::chrono::milliseconds(kRepaintMs))
        return false;
    lastFlush_ = ctx_.clock->Now();
    listModel_->Flush();
    if (counterPending_) {
        counterPending_ = false;
        counter_->setText(QStringLiteral("%1 / %2").arg(pendingCounter_.first).arg(pendingCounter_.second));
    }
    if (pendingPercent_ >= 0) {
        gauge_->SetPercent(pendingPercent_);
        pendingPercent_ = -1;
        if (isMinimized())
            setWindowTitle(ComputeGauge(gauge_->size(), gauge_->JgCur()).text);
    }
    return true;
}

void DlgCheck::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        if (isMinimized() && !minimisedIcon_) {
            previousIcon_ = windowIcon();
            setWindowIcon(AracnideIcon());
            minimisedIcon_ = true;
            QApplication::alert(this, 500);
        } else if (!isMinimized() && minimisedIcon_) {
            setWindowIcon(previousIcon_);
            minimisedIcon_ = false;
            setWindowTitle(kTitle);  // the percentage was only for the minimised window
        }
    }
    QDialog::changeEvent(event);
}

}  // namespace aracnide
