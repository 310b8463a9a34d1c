#include "TravasoMain.h"

#include "Albero.h"
#include "RtfReader.h"
#include "TextDecoding.h"
#include "zBackground.h"
#include "zBigLabel.h"
#include "zFonts.h"
#include "zGauge.h"
#include "zGradBtn.h"
#include "zImages.h"
#include "zShowApp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace travaso {

namespace {

const char* const kCaption = "Travaso v3.03";

// One frame of a 60 Hz display: log lines reach the screen at most this often during a run.
constexpr std::chrono::milliseconds kDisplayFrame(16);
// While measuring, pending events are processed at most this often.
constexpr std::chrono::milliseconds kEventPause(20);

// How a path or a line is shown: bytes that are not UTF-8 show as U+FFFD, but only on the screen.
QString Shown(const std::string& s)
{
    return QString::fromStdString(s);
}

QFont PixelFont(const char* family, int pixels)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    return font;
}

// Restores the normal cursor however the copy run ends.
struct HourglassCursor {
    HourglassCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~HourglassCursor() { QApplication::restoreOverrideCursor(); }
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;
};

// Qt lays out a paragraph in time quadratic in its format changes: past this many runs the rest of a
// paragraph keeps the format of its last run (real texts change format a few dozen times a paragraph).
constexpr std::size_t kMaxRunsPerParagraph = 256;

QTextCharFormat CharFormat(const RtfCharFormat& rtf)
{
    QTextCharFormat format;
    format.setFontWeight(rtf.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(rtf.italic);
    format.setFontUnderline(rtf.underline);
    if (!rtf.family.isEmpty())
        format.setFontFamilies({rtf.family});
    if (rtf.pointSize > 0)
        format.setFontPointSize(rtf.pointSize);
    if (rtf.color)
        format.setForeground(QColor(rtf.color->red, rtf.color->green, rtf.color->blue));
    return format;
}

bool StartsLine(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// How many characters of text fit on a line that holds column already; a surrogate pair is never split.
qsizetype Fitting(const QString& text, qsizetype from, qsizetype column)
{
    qsizetype n = std::min(text.size() - from, MaxShownLine - column);
    if (n > 0 && from + n < text.size() && text[from + n].isLowSurrogate())
        --n;
    return n;
}

// text with a line break after every MaxShownLine characters of one line.
QString BreakLongLines(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / MaxShownLine + 1);
    qsizetype column = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (StartsLine(c)) {
            column = 0;
        } else if (!c.isLowSurrogate() && column + (c.isHighSurrogate() ? 2 : 1) > MaxShownLine) {
            out += u'\n';
            column = 0;
        }
        out += c;
        column += !StartsLine(c);
    }
    return out;
}

void ShowRtf(QTextEdit* view, const RtfDocument& doc)
{
    // One edit block and no undo history: laid out once at the end, not after every run.
    view->document()->setUndoRedoEnabled(false);
    QTextCursor cursor(view->document());
    cursor.beginEditBlock();
    qsizetype column = 0;  // characters on the current line
    const auto insert = [&](const QString& text, const QTextCharFormat& format) {
        for (qsizetype from = 0; from < text.size();) {
            if (column >= MaxShownLine) {
                cursor.insertBlock();
                column = 0;
            }
            const qsizetype n = std::max<qsizetype>(Fitting(text, from, column), 1);
            cursor.insertText(text.mid(from, n), format);
            from += n;
            column += n;
        }
    };
    bool first = true;
    for (const RtfParagraph& paragraph : doc.paragraphs) {
        if (!first)
            cursor.insertBlock();
        first = false;
        column = 0;
        QTextCharFormat format;
        QString text;  // runs that share format, inserted at once
        for (std::size_t i = 0; i < paragraph.runs.size(); ++i) {
            if (i < kMaxRunsPerParagraph) {
                insert(text, format);
                text.clear();
                format = CharFormat(paragraph.runs[i].format);
            }
            text += paragraph.runs[i].text;
        }
        insert(text, format);
    }
    cursor.endEditBlock();
}

}  // namespace

void ShowDescriptiveText(QTextEdit* view, const std::string& data)
{
    const QByteArray bytes = QByteArray::fromStdString(data);
    if (LooksLikeRtf(bytes))
        ShowRtf(view, ReadRtf(bytes));
    else
        view->setPlainText(BreakLongLines(DecodeText(bytes)));
}

TForm1::TForm1(CopierEnvironment environment, FileSystem& fs, Prompts& prompts, const Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      env_(std::move(environment)),
      fs_(fs),
      boxes_(*this, prompts),
      clock_(clock)
{
    setObjectName("Form1");
    setFixedSize(561, 382);
    CreateControls();
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    LoadApplicationComponent();
}

void TForm1::CreateControls()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);

    btnCopia = new TzGradBtn(this);
    btnCopia->setObjectName("btnCopia");
    btnCopia->SetCaption("&Copia");
    btnCopia->setGeometry(8, 8, 129, 41);
    btnCopia->setFont(CaptionFont(13));
    btnCopia->SetColor(QColor(0, 128, 0));
    btnCopia->SetEndColor(QColor(255, 255, 255));
    btnCopia->SetFillType(gCenter);
    connect(btnCopia, &TzColorBtn::OnClick, this, &TForm1::btnCopiaClick);

    Gauge = new TzGauge(this);
    Gauge->setObjectName("Gauge");
    Gauge->setGeometry(8, 64, 129, 30);
    Gauge->SetNumberOfLed(0);
    Gauge->SetBevelOuter(BevelKind::Raised);
    Gauge->SetColor(QColor(0, 128, 128));
    Gauge->SetBarColor(QColor(255, 0, 0));

    btnTermina = new TzGradBtn(this);
    btnTermina->setObjectName("btnTermina");
    btnTermina->SetCaption("&Termina");
    btnTermina->setGeometry(8, 104, 129, 41);
    btnTermina->setFont(CaptionFont(13));
    btnTermina->SetColor(QColor(255, 0, 255));
    btnTermina->SetEndColor(QColor(255, 255, 255));
    btnTermina->SetFillType(gCenter);
    connect(btnTermina, &TzColorBtn::OnClick, this, &TForm1::btnTerminaClick);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(152, 8, 401, 137);
    Memo1->setFont(PixelFont("Times New Roman", 13));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    logTimer_ = new QTimer(this);
    logTimer_->setSingleShot(true);
    logTimer_->setInterval(kDisplayFrame);
    connect(logTimer_, &QTimer::timeout, this, &TForm1::FlushLog);

    QPalette yellow;
    yellow.setColor(QPalette::WindowText, Qt::yellow);
    Label1 = new QLabel("Directory destinazione: ", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(8, 160, 137, 16);
    Label1->setFont(CaptionFont(13));
    Label1->setPalette(yellow);

    lblDest = new TzBigLabel(this);
    lblDest->setObjectName("lblDest");
    lblDest->SetAutoSize(false);
    lblDest->SetTransparent(true);
    lblDest->setGeometry(152, 160, 401, 16);
    lblDest->setFont(CaptionFont(13));
    lblDest->setPalette(yellow);
    lblDest->setTextFormat(Qt::PlainText);  // a folder named like a tag shows as written
    lblDest->SetShowAccelChar(false);       // and one with "&" in its name too

    Memo2 = new QTextEdit(this);
    Memo2->setObjectName("Memo2");
    Memo2->setGeometry(8, 184, 545, 193);
    Memo2->setFont(PixelFont("Times New Roman", 13));
    Memo2->setReadOnly(true);

    setTabOrder(btnCopia, btnTermina);
    setTabOrder(btnTermina, Memo1);
    setTabOrder(Memo1, Memo2);

    zBackground1 = new TzBackground(this);
    zBackground1->setObjectName("zBackground1");
    zBackground1->SetBitMap(CopierTile());
}

// Last, as the window's components finish loading: a second start of the program ends here, and its
// window leaves the screen.
void TForm1::LoadApplicationComponent()
{
    zShowApp1 = new TzShowApp(this);
    zShowApp1->setObjectName("zShowApp1");
    zShowApp1->SetExecutablePath(QByteArray::fromStdString(env_.executablePath));
    zShowApp1->SetOnlyOneInstance(true);
    zShowApp1->SetTitle("Travaso");
    zShowApp1->SetIcon(CopierIcon());
    zShowApp1->SetHintColor(QColor(255, 255, 0));
    zShowApp1->SetHintPause(900);
    zShowApp1->SetShowHint(false);
    zShowApp1->Loaded();
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (zShowApp1->IsSecondInstance())
        return;  // it ends at once, without opening
    if (!opened_) {
        opened_ = true;
        QTimer::singleShot(0, this, &TForm1::FormShow);
    }
}

void TForm1::closeEvent(QCloseEvent* event)
{
    closing_ = true;
    tree_ = {};
    event->accept();
}

void TForm1::Log(const std::string& line)
{
    pendingLog_ << Shown(line);
    // Painting each line of a run of many small files would cost more than copying them.
    if (!lastLogFlush_ || clock_.Now() - *lastLogFlush_ >= kDisplayFrame)
        FlushLog();
    else if (!logTimer_->isActive())
        logTimer_->start();
}

void TForm1::FlushLog()
{
    logTimer_->stop();
    lastLogFlush_ = clock_.Now();
    if (pendingLog_.isEmpty())
        return;
    Memo1->appendPlainText(pendingLog_.join(QLatin1Char('\n')));
    pendingLog_.clear();
    // Now, not at the next event: the copy loop processes none.
    if (Memo1->isVisible())
        Memo1->repaint();
}

void TForm1::SetButtons(bool copia, bool termina)
{
    btnCopia->setEnabled(copia);
    btnTermina->setEnabled(termina);
}

void TForm1::FormShow()
{
    setWindowTitle(kCaption);
    setToolTip(kCaption);  // the window's and the application's hint, shown only while hints are on
    zShowApp1->SetHint(kCaption);
    SetButtons(false, false);
    Memo2->clear();
    Memo1->clear();
    pendingLog_.clear();

    lastEvents_ = clock_.Now();
    OpeningOutcome opening = RunOpening(fs_, env_, *this, boxes_);
    if (opening.stopped || closing_)
        return;
    paths_ = std::move(opening.paths);
    if (opening.measurement) {
        Gauge->SetMax(std::int32_t(std::min<std::int64_t>(opening.measurement->FilesToCopy(), INT32_MAX)));
        Gauge->SetMin(0);
        Gauge->SetValue(0);
        tree_ = std::move(opening.measurement->tree);
    }
    SetButtons(opening.Ready(), opening.Ready());
    FlushLog();
}

void TForm1::ShowDescriptiveText(const std::string& data)
{
    travaso::ShowDescriptiveText(Memo2, data);
}

void TForm1::ShowTarget(const std::string& target)
{
    // One line, its start giving way when too long, so the target's own folder stays in sight.
    lblDest->setText(lblDest->fontMetrics().elidedText(Shown(target), Qt::ElideLeft, lblDest->width()));
}

bool TForm1::ProcessMessages()
{
    // Keep the window live while measuring, without paying for an event pass per entry.
    if (clock_.Now() - lastEvents_ >= kEventPause) {
        QCoreApplication::processEvents();
        lastEvents_ = clock_.Now();
    }
    return !closing_;
}

void TForm1::BoxesAfterLog::Message(std::string_view text)
{
    form_.FlushLog();
    prompts_.Message(text);
}

void TForm1::BoxesAfterLog::ErrorBox(std::string_view text)
{
    form_.FlushLog();
    prompts_.ErrorBox(text);
}

void TForm1::btnCopiaClick()
{
    CopyOutcome outcome;
    {
        HourglassCursor hourglass;
        SetButtons(false, false);
        QCoreApplication::processEvents();
        if (closing_)
            return;  // closed meanwhile: the list is gone, and an empty run must not read as a copy
        outcome = RunCopy(fs_, paths_, tree_, *this);
    }  // the normal cursor is back before any box opens
    switch (outcome.end) {
    case CopyEnd::Completed:
        Log("=== Copia completata ===");
        SetButtons(false, true);
        break;
    case CopyEnd::Incomplete:
        Log("=== Copia incompleta ===");
        SetButtons(false, true);
        break;
    case CopyEnd::Stopped:
        break;
    }
    FlushLog();
    if (outcome.end == CopyEnd::Stopped)
        boxes_.ErrorBox(outcome.error);
}

void TForm1::TargetExisted(const std::string& target)
{
    Log("Directory " + target + " già esistente");
}

void TForm1::DirectoryCreated(const std::string& path)
{
    Log("Creata directory " + path);
}

void TForm1::FileCopied(const std::string& source, std::int64_t bytes, std::int32_t copiedSoFar)
{
    Log("Copiato " + source.substr(source.rfind('/') + 1) + " [" + FormatThousands(bytes) + " byte]");
    Gauge->SetValue(copiedSoFar);
}

void TForm1::btnTerminaClick()
{
    close();
}

}  // namespace travaso
