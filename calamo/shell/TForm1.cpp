#include "TForm1.h"

#include "AboutBox.h"
#include "Clock.h"
#include "DocumentEdits.h"
#include "EditorControl.h"
#include "FileSystem.h"
#include "FindPanel.h"
#include "FramesetPanel.h"
#include "Inserters.h"
#include "LayoutRule.h"
#include "Preview.h"
#include "ProcessInfo.h"
#include "Prompts.h"
#include "PropertyPanels.h"
#include "StatusTips.h"
#include "TColoripre.h"
#include "TConvert.h"
#include "TModulo.h"
#include "TSetup.h"
#include "TShort.h"
#include "ToolIcons.h"
#include "WrapSelection.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QRandomGenerator>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>

#include <array>

namespace {

// Recovery copies: written this long after the last change, and at the latest this long after the first one
// not yet copied; a wait for the writer ends after the third.
constexpr int kRecoveryDelayMs = 2000;
constexpr qint64 kRecoveryMaxDelayMs = 30000;
constexpr int kRecoveryWaitMs = 5000;

}  // namespace

namespace calamo {

namespace {

constexpr int kButton = 23;  // toolbar button width and height
constexpr int kGroupGap = 4;

const std::array<QString, 5>& kTips = statusTips();

QString speedName(int n)
{
    return QStringLiteral("Speed%1").arg(n, 2, 10, QLatin1Char('0'));
}

}  // namespace

TForm1::TForm1(Prompts& prompts, FileSystem& files, Clock& clock, const QString& programDir, QWidget* parent)
    : QMainWindow(parent),
      prompts_(prompts),
      files_(files),
      clock_(clock),
      programDir_(programDir),
      documents_(*this, prompts, files, programDir + QLatin1String(kPlaceholderFileName))
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Calamo"));
    setWindowIcon(toolIcon(QStringLiteral("SpeedButton3")));
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("Client"));
    setCentralWidget(client_);
    client_->installEventFilter(this);

    tipNumber_ = static_cast<int>(QRandomGenerator::global()->bounded(5));
    createMenus();
    createToolbar();
    createTabs();
    findPanel_ = std::make_unique<FindPanel>(client_, documents_, prompts_, [this] { FormResize(); });
    panels_ = std::make_unique<PropertyPanels>(client_, QFontDatabase::families());
    for (int n = 1; n <= 8; ++n) {
        auto* browse = panels_->group(n)->findChild<QToolButton*>(QStringLiteral("Sfoglia%1").arg(n));
        browse->setIcon(toolIcon(QStringLiteral("Sfoglia")));
        connect(browse, &QToolButton::clicked, this, [this] { panels_->Sfoglia1Click(); });
    }
    for (const auto& [name, handler] :
         std::initializer_list<std::pair<const char*, void (TForm1::*)()>>{{"SpeedButton1", &TForm1::SpeedButton1Click},
                                                                           {"SpeedButton2", &TForm1::SpeedButton2Click},
                                                                           {"SpeedButton4", &TForm1::SpeedButton4Click},
                                                                           {"SpeedButton5", &TForm1::SpeedButton5Click},
                                                                           {"SpeedButton6", &TForm1::SpeedButton6Click},
                                                                           {"SpeedButton7",
                                                                            &TForm1::SpeedButton7Click}})
        connect(panels_->button(name), &QToolButton::clicked, this, handler);
    for (int i = 1; i <= kFramesetTemplates; ++i) {
        const QByteArray name = QStringLiteral("FrButton%1").arg(i, 2, 10, QLatin1Char('0')).toLatin1();
        connect(panels_->button(name.constData()), &QToolButton::clicked, this, [this, i] { FrButtonClick(i); });
    }

    status_ = new QStatusBar(client_);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setSizeGripEnabled(false);
    auto* tip = new QLabel(status_);
    tip->setObjectName(QStringLiteral("Tip"));
    status_->addWidget(tip, 1);

    timer2_ = clock_.makeTimer([this] { Timer2Timer(); }, true);

    resizeClient(QSize(754, 510));
    documents_.createFirstDocument();
    loadConfiguration();
    setup_ = new TSetup(prompts_, this);
    convert_ = new TConvert(documents_, this);
    coloripre_ = new TColoripre(documents_, prompts_, this);
    short_ = new TShort(config_, files_, prompts_, this);
    modulo_ = new TModulo(documents_, *panels_, this);
    timer2_->start(1000);
}

TForm1::~TForm1() = default;

QSize TForm1::clientSize() const
{
    return client_->size();
}

void TForm1::resizeClient(QSize size)
{
    resize(size.width(), size.height() + menuBar()->sizeHint().height());
    client_->resize(size);  // at once, so the layout holds before the window is first shown
    FormResize();
}

void TForm1::createMenus()
{
    struct Item {
        const char* name;  // object name, after the handler
        const char* caption;
        std::function<void()> run;
    };
    const auto menu = [this](const char* name, const char* title, std::initializer_list<Item> items) {
        QMenu* m = menuBar()->addMenu(QString::fromUtf8(title));
        m->setObjectName(QLatin1String(name));
        for (const Item& item : items) {
            if (!item.name) {
                m->addSeparator();
                continue;
            }
            QAction* action = m->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(QLatin1String(item.name));
            if (item.run)
                connect(action, &QAction::triggered, this, item.run);
        }
    };
    menu("File", "File",
         {{"Nuovo", "Nuovo", [this] { NuovoClick(); }},
          {"Apri", "Apri", [this] { ApriClick(); }},
          {"Salva", "Salva", [this] { SalvaClick(); }},
          {"Salvanome", "Salva con nome...", [this] { SalvanomeClick(); }},
          {nullptr, nullptr, {}},
          {"Esci", "Uscita", [this] { EsciClick(); }}});
    menu("Modifica", "Modifica",
         {{"Taglia", "Taglia", [this] { documents_.TagliaClick(); }},
          {"Copia", "Copia", [this] { documents_.CopiaClick(); }},
          {"Incolla", "Incolla", [this] { documents_.IncollaClick(); }},
          {nullptr, nullptr, {}},
          {"Seleziona", "Seleziona tutto", [this] { documents_.SelezionaClick(); }}});
    menu("Utilita", "Utilità",
         {{"Conversione", "Conversione", [this] { ConversioneClick(); }},
          {"Colori", "Colori prefabbricati", [this] { ColoriClick(); }},
          {nullptr, nullptr, {}},
          {"Spezza", "Spezza testo", [this] { documents_.SpezzaClick(); }},
          {nullptr, nullptr, {}},
          {"Brow", "Browser esterni", [this] { BrowClick(); }},
          {"Rapida", "Tasti di scelta rapida", [this] { RapidaClick(); }}});
    menu("Aiuto", "?", {{"Info", "Informazioni su...", [this] { InfoClick(); }}});
}

QFrame* TForm1::addGroup(const QString& name, QList<QAction*> contextActions)
{
    auto* group = new QFrame(controlBar_);
    group->setObjectName(name);
    group->setFrameShape(QFrame::StyledPanel);
    group->setFrameShadow(QFrame::Raised);
    group->setGeometry(groupX_, groupY_, 4, kButton + 4);
    group->addActions(contextActions);
    group->setContextMenuPolicy(contextActions.isEmpty() ? Qt::NoContextMenu : Qt::ActionsContextMenu);
    groupX_ += 4 + kGroupGap;
    return group;
}

QToolButton* TForm1::addToolButton(QFrame* group, const QString& name, const QString& hint,
                                   std::function<void()> handler)
{
    auto* button = new QToolButton(group);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(toolIcon(name));
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);  // the caret stays in the editor
    const int x = group->width() - 2;
    button->setGeometry(x, 2, kButton, kButton);
    group->resize(x + kButton + 2, group->height());
    groupX_ += kButton;
    // A right click on a button offers its group's menu. (A tool button's own actions would make it a
    // drop-down button, so the menu is built on request.)
    setContextActions(button, group->actions());
    if (handler)
        connect(button, &QToolButton::clicked, this, std::move(handler));
    else
        button->setEnabled(false);  // its command is not part of the program yet
    return button;
}

void TForm1::setContextActions(QWidget* widget, QList<QAction*> actions)
{
    if (actions.isEmpty()) {
        widget->setContextMenuPolicy(Qt::NoContextMenu);
        return;
    }
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, this, [widget, actions](const QPoint& at) {
        QMenu menu(widget);
        menu.addActions(actions);
        menu.exec(widget->mapToGlobal(at));
    });
}

void TForm1::createToolbar()
{
    controlBar_ = new QWidget(client_);
    controlBar_->setObjectName(QStringLiteral("ControlBar"));
    controlBar_->setGeometry(0, 0, 741, 2 * (kButton + 4) + 6);

    const auto panelAction = [this](const char* caption, int panel) {
        auto* action = new QAction(QString::fromUtf8(caption), this);
        connect(action, &QAction::triggered, this, [this, panel] { panels_->show(panel); });
        return action;
    };
    const auto inserter = [this](int n) { return [this, n] { SpeedClick(n); }; };

    QFrame* file = addGroup(QStringLiteral("Panel1"), {});
    addToolButton(file, QStringLiteral("Speed25"), QStringLiteral("Nuovo"), [this] { NuovoClick(); });
    addToolButton(file, QStringLiteral("Speed26"), QStringLiteral("Apri"), [this] { ApriClick(); });
    addToolButton(file, QStringLiteral("Speed27"), QStringLiteral("Salva"), [this] { SalvaClick(); });
    addToolButton(file, QStringLiteral("Speed28"), QStringLiteral("Stampa"), [this] { StampaClick(); });
    addToolButton(file, QStringLiteral("Speed29"), QStringLiteral("Taglia"), [this] { TagliaClick(); });
    addToolButton(file, QStringLiteral("Speed30"), QStringLiteral("Copia"), [this] { CopiaClick(); });
    addToolButton(file, QStringLiteral("Speed31"), QStringLiteral("Incolla"), [this] { IncollaClick(); });
    file->resize(file->width() + 6, file->height());  // separator
    groupX_ += 6;
    addToolButton(file, QStringLiteral("Speed23"), QStringLiteral("Cerca..."), [this] { Speed23Click(); });
    addToolButton(file, QStringLiteral("Speed46"), QStringLiteral("Salva tutto"), [this] { Speed46Click(); });

    auto* colour = new QToolButton(controlBar_);
    colour->setObjectName(QStringLiteral("SpeedButton3"));
    colour->setText(QStringLiteral("Colora tag"));
    colour->setToolTip(QStringLiteral("Sperimentale!!"));
    colour->setIcon(toolIcon(QStringLiteral("SpeedButton3")));
    colour->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    colour->setFocusPolicy(Qt::NoFocus);
    connect(colour, &QToolButton::clicked, this, &TForm1::ColoraTag);
    colour->setGeometry(groupX_, groupY_ + 2, 86, kButton);
    groupX_ += 86 + kGroupGap;

    QFrame* preview = addGroup(QStringLiteral("Panel8"), {});
    addToolButton(preview, QStringLiteral("Speed44"), QStringLiteral("Vedi nel browser"), [this] { Speed44Click(); });
    addToolButton(preview, QStringLiteral("Speed45"), QStringLiteral("Vedi nel browser"), [this] { Speed45Click(); });

    groupX_ = 2;
    groupY_ += kButton + 4 + 2;

    QFrame* testo = addGroup(QStringLiteral("GruppoTesto"), {panelAction("Proprietà", 2)});
    addToolButton(testo, speedName(1), QStringLiteral("Paragrafo"), inserter(1));
    addToolButton(testo, speedName(2), QStringLiteral("Interruzione"), inserter(2));
    addToolButton(testo, speedName(3), QStringLiteral("Rientro"), inserter(3));
    addToolButton(testo, speedName(4), QStringLiteral("Commento"), inserter(4));
    addToolButton(testo, speedName(13), QStringLiteral("Linea"), inserter(13));
    addToolButton(testo, speedName(47), QStringLiteral("Spazio"), inserter(47));

    QFrame* caratt = addGroup(QStringLiteral("GruppoCarattere"), {panelAction("Proprietà", 3)});
    addToolButton(caratt, speedName(20), QStringLiteral("Applica proprietà"), inserter(20));
    addToolButton(caratt, speedName(5), QStringLiteral("Grassetto"), inserter(5));
    addToolButton(caratt, speedName(6), QStringLiteral("Corsivo"), inserter(6));
    addToolButton(caratt, speedName(7), QStringLiteral("Larghezza fissa"), inserter(7));
    addToolButton(caratt, speedName(8), QStringLiteral("Sottolineato"), inserter(8));
    addToolButton(caratt, speedName(9), QStringLiteral("Barrato"), inserter(9));
    addToolButton(caratt, speedName(10), QStringLiteral("Apice"), inserter(10));
    addToolButton(caratt, speedName(11), QStringLiteral("Pedice"), inserter(11));
    addToolButton(caratt, speedName(12), QStringLiteral("Lampeggiante"), inserter(12));

    QFrame* link = addGroup(QStringLiteral("GruppoLink"), {panelAction("Proprietà", 4)});
    addToolButton(link, speedName(17), QStringLiteral("Collegamento"), inserter(17));
    addToolButton(link, speedName(18), QStringLiteral("Definisci sezione"), inserter(18));
    addToolButton(link, speedName(19), QStringLiteral("Inserisci immagine"), inserter(19));
    addToolButton(link, speedName(32), QStringLiteral("E-mail"), inserter(32));

    QFrame* elenco = addGroup(QStringLiteral("GruppoElenco"), {panelAction("Proprietà", 5)});
    addToolButton(elenco, speedName(14), QStringLiteral("Elenco puntato"), inserter(14));
    addToolButton(elenco, speedName(15), QStringLiteral("Elenco Numerato"), inserter(15));
    addToolButton(elenco, speedName(16), QStringLiteral("Inserisci elemento"), inserter(16));

    QFrame* tabella = addGroup(QStringLiteral("GruppoTabella"), {panelAction("Proprietà", 6)});
    addToolButton(tabella, speedName(21), QStringLiteral("Nuova tabella"), inserter(21));
    addToolButton(tabella, speedName(22), QStringLiteral("Inserisci riga"), inserter(22));
    addToolButton(tabella, speedName(24), QStringLiteral("Nuova cella"), inserter(24));

    QFrame* modulo = addGroup(QStringLiteral("GruppoModulo"), {panelAction("Oggetti", 7)});
    addToolButton(modulo, speedName(33), QStringLiteral("Nuovo modulo"), [this] { Speed33Click(); });

    // The free area of the frameset group offers the objects panel; its button offers the frameset panel.
    QFrame* frameset = addGroup(QStringLiteral("GruppoFrameset"), {panelAction("Oggetti", 7)});
    QToolButton* speed34 =
        addToolButton(frameset, speedName(34), QStringLiteral("Nuovo frameset"), [this] { Speed34Click(); });
    setContextActions(speed34, {panelAction("Oggetti", 8)});
    frameset->resize(frameset->width() + 10, frameset->height());
}

void TForm1::createTabs()
{
    lingue_ = new QTabBar(client_);
    lingue_->setObjectName(QStringLiteral("Lingue"));
    lingue_->setGeometry(156, 64, 597, 29);
    lingue_->setExpanding(false);
    lingue_->setUsesScrollButtons(true);
    lingue_->setElideMode(Qt::ElideLeft);
    lingue_->installEventFilter(this);
    connect(lingue_, &QTabBar::currentChanged, this, [this](int tab) {
        documents_.LingueChange(tab);
        if (auto* doc = documents_.current())
            static_cast<EditorControl*>(doc->editor)->setFocus();
    });
    auto* close = new QAction(QStringLiteral("Chiudi Pagina"), lingue_);
    close->setObjectName(QStringLiteral("Chiudi"));
    connect(close, &QAction::triggered, this, [this] { ChiudiClick(); });
    lingue_->addAction(close);
    lingue_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TForm1::loadConfiguration()
{
    const bool exists = files_.exists(QString::fromLatin1(kConfigFileName));
    if (const auto error = exists ? LeggiCfg(files_, config_) : RewriteCfg(files_, config_))
        prompts_.showError(*error);
}

TextEditor& TForm1::createEditor()
{
    auto* editor = new EditorControl(client_);
    editor->setGeometry(156, 96, 597, 393);
    editor->onKeyReleased([this](int key, Modifiers held) { TextChange(key, held); });
    editor->raise();
    editor->show();
    editor->setFocus();
    editors_.push_back(editor);
    return *editor;
}

void TForm1::destroyEditor(TextEditor& editor)
{
    auto* control = static_cast<EditorControl*>(&editor);
    std::erase(editors_, control);
    // Later: a shortcut may close the page from inside this editor's own key handler.
    control->deleteLater();
}

void TForm1::addTab(const QString& caption)
{
    const QSignalBlocker quiet(lingue_);
    lingue_->addTab(caption);
}

void TForm1::removeTab(int index)
{
    const QSignalBlocker quiet(lingue_);
    lingue_->removeTab(index);
}

void TForm1::selectTab(int index)
{
    const QSignalBlocker quiet(lingue_);
    lingue_->setCurrentIndex(index);
    if (auto* doc = documents_.current(); doc && index >= 0)
        static_cast<EditorControl*>(doc->editor)->setFocus();
}

void TForm1::setTabCaption(int index, const QString& caption)
{
    lingue_->setTabText(index, caption);
}

int TForm1::tabCount() const
{
    return lingue_->count();
}

void TForm1::applyLayout()
{
    FormResize();
}

void TForm1::FormResize()
{
    const QSize client = clientSize();
    const MainLayout layout = FormLayout(outerSize(client), findPanel_->visible());
    lingue_->setGeometry(layout.lingue);
    controlBar_->resize(layout.controlBarWidth, controlBar_->height());
    if (lingue_->count() >= 1) {
        for (EditorControl* editor : editors_)
            editor->setGeometry(layout.editors);
    }
    panels_->setHeight(layout.panelHeight);
    panels_->image()->setPixmap(panelPicture(panels_->image()->size()));
    findPanel_->place(layout);
    const int statusHeight = status_->sizeHint().height();
    status_->setGeometry(0, client.height() - statusHeight, client.width(), statusHeight);
}

void TForm1::SpeedClick(int n)
{
    if (documents_.empty())
        return;
    if (const std::optional<Insertion> insertion = SpeedTag(n, *panels_, prompts_))
        WrapSelection(documents_, insertion->open, insertion->close);
}

void TForm1::Speed34Click()
{
    panels_->show(8);
}

void TForm1::Speed33Click()
{
    modulo_->showPage(TModulo::NuovoModulo, true);
}

void TForm1::SpeedButton1Click()
{
    modulo_->showPage(TModulo::CampoTesto, false);
}

void TForm1::SpeedButton2Click()
{
    modulo_->showPage(TModulo::Controllo, false);
}

void TForm1::SpeedButton4Click()
{
    modulo_->showPage(TModulo::Bottone, false);
}

void TForm1::SpeedButton5Click()
{
    modulo_->showPage(TModulo::Nascosto, false);
}

void TForm1::SpeedButton6Click()
{
    modulo_->showPage(TModulo::AreaTesto, false);
}

void TForm1::SpeedButton7Click()
{
    modulo_->showPage(TModulo::Elenco, false);
}

void TForm1::FrButtonClick(int button)
{
    // The document comes first, so the colour pickers of the page appear over it.
    TextEditor& editor = documents_.newDocument();
    const QStringList page = FramesetPage(button, readFramesetPanel(panels_->group(8)), prompts_);
    editor.setText(generatedPageText(page));
}

void TForm1::setUpNewDocument(TextEditor& editor)
{
    setup_->run(editor);
    static_cast<EditorControl*>(&editor)->setFocus();
}

void TForm1::TextChange(int keyCode, Modifiers held)
{
    documents_.keyReleased();
    for (int entry : matchingShortcuts(config_, keyCode, held))
        runShortcutEntry(entry, *this);
}

void TForm1::Timer2Timer()
{
    // "[*]" in a title is the toolkit's placeholder for the modified mark; doubled, it shows as itself.
    QString title = documents_.title();
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(title);
    if (auto* tip = status_->findChild<QLabel*>(QStringLiteral("Tip")))
        tip->setText(kTips[static_cast<std::size_t>(tipNumber_)]);
}

void TForm1::ColoraTag()
{
    if (auto* doc = documents_.current())
        colourTags(*static_cast<EditorControl*>(doc->editor));
}

void TForm1::Speed44Click()
{
    previewInBrowser(documents_, config_, 1, programDir_ + QLatin1String(kPreviewFileName), files_, launcher_,
                     prompts_);
}

void TForm1::Speed45Click()
{
    previewInBrowser(documents_, config_, 2, programDir_ + QLatin1String(kPreviewFileName), files_, launcher_,
                     prompts_);
}

void TForm1::BrowClick()
{
    askBrowserCommands(config_, files_, prompts_);
}

void TForm1::Speed23Click()
{
    findPanel_->Speed23Click();
}

void TForm1::Button1Click()
{
    findPanel_->Button1Click();
}

void TForm1::Button3Click()
{
    findPanel_->Button3Click();
}

void TForm1::Button2Click()
{
    findPanel_->Button2Click();
}

void TForm1::Button4Click()
{
    findPanel_->Button4Click();
}

bool TForm1::findPanelVisible() const
{
    return findPanel_->visible();
}

void TForm1::ConversioneClick()
{
    convert_->exec();
}

void TForm1::ColoriClick()
{
    coloripre_->exec();
}

void TForm1::RapidaClick()
{
    short_->exec();
}

void TForm1::EsciClick()
{
    close();
}

void TForm1::InfoClick()
{
    AboutBox about(this);
    about.exec();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (!documents_.closeAll()) {
        event->ignore();  // a write failed or was cancelled: every document stays open
        return;
    }
    (void)files_.removeFile(programDir_ + QLatin1String(kPlaceholderFileName));
    (void)files_.removeFile(programDir_ + QLatin1String(kPreviewFileName));
    // Every document was saved or let go on purpose: none of its copies is wanted any more.
    if (recovery_) {
        recoveryTimer_->stop();
        pendingCopies_.clear();
        for (int i = 0; i < documents_.count(); ++i)
            dropRecoveryCopy(documents_.document(i).serial);
        recoveryWriter_.waitForDone(kRecoveryWaitMs);
    }
    event->accept();
}

QString TForm1::recoveryKey(int serial) const
{
    return QStringLiteral("%1-%2").arg(self_.pid).arg(serial);
}

void TForm1::enableRecovery(const QString& folder)
{
    recovery_.emplace(files_, folder);
    self_ = currentProcess();
    recoveryWriter_.setMaxThreadCount(1);
    recoveryTimer_ = clock_.makeTimer(
        [this] {
            writeRecoveryCopies(pendingCopies_);
            pendingCopies_.clear();
        },
        false);
    documents_.onAnyTextChanged([this](int serial) { scheduleRecoveryCopy(serial); });
    documents_.onDocumentSettled([this](int serial) {
        pendingCopies_.erase(serial);
        dropRecoveryCopy(serial);
    });
}

void TForm1::scheduleRecoveryCopy(int serial)
{
    // The steady clock: a date set back would put the copy off while typing goes on, one set forward would
    // cut the wait short.
    const qint64 now = clock_.steadyMs();
    if (pendingCopies_.empty())
        pendingSince_ = now;
    pendingCopies_.insert(serial);
    // Two seconds after the last change; typing without a pause still gets a copy every half minute.
    if (!recoveryTimer_->isActive() || now - pendingSince_ < kRecoveryMaxDelayMs)
        recoveryTimer_->start(kRecoveryDelayMs);
}

void TForm1::writeRecoveryCopies(const std::set<int>& serials)
{
    if (!recovery_)
        return;
    const QDateTime now = clock_.wallNow();
    for (int i = 0; i < documents_.count(); ++i) {
        const DocumentTable::Document& doc = documents_.document(i);
        if (doc.saved || (!serials.empty() && !serials.contains(doc.serial)))
            continue;
        RecoveryRecord record;
        record.fileName = doc.fileName;
        record.encoding = doc.encoding;
        record.written = now;
        record.writer = self_;
        // The text is taken here; hashing and writing it happen on the writer's thread.
        recoveryWriter_.start(
            [this, folder = *recovery_, key = recoveryKey(doc.serial), text = doc.editor->text(), record] {
                lowerThisThreadsPriority();
                if (const auto error = folder.write(key, text, record))
                    QMetaObject::invokeMethod(this, [this, error = *error] { recoveryWriteFailed(error); });
            });
    }
}

void TForm1::recoveryWriteFailed(const QString& error)
{
    if (toldRecoveryFailure_)
        return;
    toldRecoveryFailure_ = true;  // once a run: the next copies would fail alike
    prompts_.showError(
        QStringLiteral("Impossibile scrivere la copia di recupero dei documenti non salvati: %1").arg(error));
}

void TForm1::dropRecoveryCopy(int serial)
{
    if (recovery_)
        recoveryWriter_.start([folder = *recovery_, key = recoveryKey(serial)] { folder.remove(key); });
}

void TForm1::writeRecoveryNow()
{
    if (!recovery_)
        return;
    recoveryTimer_->stop();
    pendingCopies_.clear();
    writeRecoveryCopies({});
    recoveryWriter_.waitForDone(kRecoveryWaitMs);
}

void TForm1::offerRecovery()
{
    if (!recovery_)
        return;
    std::vector<RecoveryFolder::Entry> offered;
    QStringList problems;
    for (RecoveryFolder::Entry& entry : recovery_->entries()) {
        if (!entry.record)
            problems << entry.problem;
        else if (!isRunning(entry.record->writer))  // a second editor's copies are its own business
            offered.push_back(std::move(entry));
    }
    if (!offered.empty()) {
        QString text = QStringLiteral("Sono state trovate copie di documenti non salvati, lasciate da Calamo quando si "
                                      "è chiuso senza salvarli:\n");
        for (const RecoveryFolder::Entry& entry : offered) {
            text += QStringLiteral("\n") + entry.record->fileName + QStringLiteral("   (") +
                    QLocale(QLocale::Italian).toString(entry.record->written.toLocalTime(), QLocale::ShortFormat) +
                    u')';
        }
        text += QStringLiteral("\n\nRipristina li riapre come documenti modificati; Scarta elimina le copie.");
        const bool restore = prompts_.askRestore(text);
        std::vector<QString> done;
        for (const RecoveryFolder::Entry& entry : offered) {
            if (!restore) {
                done.push_back(entry.key);
                continue;
            }
            QString problem;
            if (const auto restored = recovery_->readText(entry, problem)) {
                documents_.restoreDocument(entry.record->fileName, entry.record->encoding, *restored);
                done.push_back(entry.key);
            } else {
                problems << problem;
            }
        }
        // The restored documents get copies of their own before the old ones go.
        if (restore)
            writeRecoveryNow();
        for (const QString& key : done)
            recoveryWriter_.start([folder = *recovery_, key] { folder.remove(key); });
    }
    if (!problems.isEmpty())
        prompts_.showError(QStringLiteral("Alcune copie di recupero non si possono leggere: restano nella cartella "
                                          "\"%1\".\n")
                               .arg(recovery_->path()) +
                           problems.join(u'\n'));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize)
        FormResize();
    // Any mouse button on the tab strip first re-applies the selected tab.
    if (watched == lingue_ && event->type() == QEvent::MouseButtonPress)
        documents_.LingueChange(lingue_->currentIndex());
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace calamo
