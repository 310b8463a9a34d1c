#include "TravasoMain.h"

#include "Albero.h"
#include "Prompts.h"
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
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kCaption = "Travaso v3.03";

QString Q(const std::string& s) { return QString::fromStdString(s); }

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

void ChangeDirectory(const std::string& dir)
{
    std::string path = dir;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (chdir(path.c_str()) != 0)
        throw AlberoError("Impossibile aprire la directory \"" + path + "\": " + std::strerror(errno));
}

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SameDirectory(const std::string& a, const std::string& b)
{
    struct stat sa {}, sb {};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void ShowRtf(QTextEdit* view, const RtfDocument& doc)
{
    QTextCursor cursor(view->document());
    bool first = true;
    for (const RtfParagraph& paragraph : doc.paragraphs) {
        if (!first)
            cursor.insertBlock();
        first = false;
        for (const RtfRun& run : paragraph.runs) {
            QTextCharFormat format;
            format.setFontWeight(run.format.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.format.italic);
            format.setFontUnderline(run.format.underline);
            if (!run.format.family.isEmpty())
                format.setFontFamilies({run.format.family});
            if (run.format.pointSize > 0)
                format.setFontPointSize(run.format.pointSize);
            if (run.format.color)
                format.setForeground(QColor(run.format.color->red, run.format.color->green, run.format.color->blue));
            cursor.insertText(run.text, format);
        }
    }
}

} // namespace

void LoadDescriptiveText(QTextEdit* view, const std::string& dir)
{
    for (const char* name : {"testo.rtf", "testo.txt"}) {
        QFile file(Q(dir + name));
        if (!file.exists())
            continue;
        if (!file.open(QIODevice::ReadOnly))
            throw AlberoError("Impossibile aprire il file \"" + dir + name + "\": " + file.errorString().toStdString());
        const QByteArray data = file.readAll();
        if (LooksLikeRtf(data))
            ShowRtf(view, ReadRtf(data));
        else
            view->setPlainText(DecodeText(data));
        return;
    }
}

TForm1::TForm1(CopierEnvironment environment, Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      env_(std::move(environment)), prompts_(prompts)
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
    FreeTreeList();
    event->accept();
}

void TForm1::Log(const std::string& line) { Memo1->appendPlainText(Q(line)); }

void TForm1::SetButtons(bool copia, bool termina)
{
    btnCopia->setEnabled(copia);
    btnTermina->setEnabled(termina);
}

std::string TForm1::SourceDir() const
{
    const auto slash = env_.executablePath.rfind('/');
    return slash == std::string::npos ? std::string("./") : env_.executablePath.substr(0, slash + 1);
}

void TForm1::FormShow()
{
    setToolTip(kCaption);  // the window's and the application's hint, shown only while hints are on
    zShowApp1->SetHint(kCaption);
    try {
        RunOpening();
    } catch (const std::exception& e) {
        prompts_.ErrorBox(e.what());
    }
    SetAlberoPrompts(nullptr);
    SetProcessMessagesHook(nullptr);
}

void TForm1::RunOpening()
{
    setWindowTitle(kCaption);
    SetButtons(false, false);
    Memo2->clear();
    Memo1->clear();
    Log("Inizializzazione in corso");

    const std::string source = SourceDir();
    LoadDescriptiveText(Memo2, source);

    const std::string target = TargetDirectoryFor(env_.targetRoot, source);
    if (target.empty())
        throw AlberoError("Il programma si trova nella radice del file system: manca il nome della directory di destinazione");
    lblDest->setText(Q(target));
    Log("Copia da: " + source);
    // Copying a directory onto itself would truncate every file it holds.
    if (SameDirectory(target, source))
        throw AlberoError("La directory di destinazione \"" + target + "\" è la directory di origine");

    ChangeDirectory(source);

    // Keep the window live while measuring, without paying for an event pass per entry.
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    SetProcessMessagesHook([&sinceEvents] {
        if (sinceEvents.elapsed() >= 20) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
    });
    SetAlberoPrompts(&prompts_);
    BuildTreeList(source, env_.treeCapacity);
    const std::int64_t total = SumTreeSizes();
    const std::int64_t fileCount = CountTreeFiles(source);
    if (closing_)
        return;

    Gauge->SetMax(std::int32_t(std::min<std::int64_t>(fileCount - 1, INT32_MAX)));
    Gauge->SetMin(0);
    Gauge->SetValue(0);

    // The program itself is measured only when the list reached it.
    const std::int64_t exeSize = FileSizeOf(env_.executablePath);
    bool exeListed = false;
    ResetTreeCursor();
    for (std::string e = NextTreeEntry(); !e.empty() && !exeListed; e = NextTreeEntry())
        exeListed = e == env_.executablePath;
    ResetTreeCursor();
    const std::int64_t required = total - (exeListed ? exeSize : 0);

    Log("Spazio richiesto: " + FormatThousands(required) + " byte" + " (" + std::to_string(fileCount - 1) + " file)");
    Log("Spazio libero su " + env_.targetRoot + ": " + FormatThousands(env_.freeSpace(env_.targetRoot)) + " byte");
    if (required < env_.freeSpace(env_.targetRoot)) {
        SetButtons(true, true);
        Log("Pronto per la copia");
    } else {
        Log("Spazio insufficiente!");
    }
}

void TForm1::btnCopiaClick()
{
    HourglassCursor hourglass;
    SetButtons(false, false);
    QCoreApplication::processEvents();
    if (closing_)
        return;  // closed meanwhile: the list is gone, and an empty run must not read as a copy
    try {
        RunCopy();
        SetButtons(false, true);
    } catch (const std::exception& e) {
        prompts_.ErrorBox(e.what());
    }
}

void TForm1::RunCopy()
{
    const std::string source = SourceDir();
    ChangeDirectory(source);

    const std::string target = lblDest->text().toStdString();
    if (IsDirectory(target)) {
        Log("Directory " + target + " già esistente");
    } else {
        std::error_code ignored;  // a failure shows up at the first copy into it
        std::filesystem::create_directories(target, ignored);
        Log("Creata directory " + target);
    }

    std::int32_t copied = 0;
    ResetTreeCursor();
    for (std::string entry = NextTreeEntry(); !entry.empty(); entry = NextTreeEntry()) {
        if (entry.back() == '/') {
            const std::string dir = TargetPathFor(target, entry, source);
            std::error_code ignored;
            std::filesystem::create_directories(dir, ignored);
            Log("Creata directory " + dir);
        } else if (entry != env_.executablePath) {
            CopyFileStream(entry, TargetPathFor(target, entry, source));
            Log("Copiato " + entry.substr(entry.rfind('/') + 1) + " [" + FormatThousands(FileSizeOf(entry)) + " byte]");
            Gauge->SetValue(++copied);
        }
    }

    // Users remove the medium as soon as the copy says it is done: the data must be on it by then.
    if (const std::string error = env_.syncFileSystem(target); !error.empty())
        throw AlberoError("Impossibile scrivere i dati su \"" + target + "\": " + error);
    Log(TreeListWasCut() ? "=== Copia incompleta ===" : "=== Copia completata ===");
}

void TForm1::btnTerminaClick() { close(); }
