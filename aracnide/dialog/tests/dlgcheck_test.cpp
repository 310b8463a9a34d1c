#include "dlgcheck.h"

#include "browser.h"
#include "gauge.h"
#include "general.h"
#include "loopback.h"
#include "prompts.h"
#include "settings.h"
#include "testutil.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace aracnide;

namespace {

class ScriptedPrompts : public Prompts {
public:
    void Message(QWidget*, const QString& text, const QString& caption) override
    {
        messages.push_back({text, caption});
    }
    QString OpenFileName(QWidget*, const QString& title, const QString& filter) override
    {
        fileDialogs.push_back(title + "|" + filter);
        return fileToChoose;
    }
    void OpenReport(const QString& path) override { reports.push_back(path); }
    void OpenUrl(const QString& url) override { urls.push_back(url); }

    std::vector<std::pair<QString, QString>> messages;
    std::vector<QString> fileDialogs, reports, urls;
    QString fileToChoose;
};

class FakeWindows : public WindowLister {
public:
    std::vector<WindowInfo> TopLevel() override { return top; }
    std::vector<WindowInfo> Children(uint32_t w) override { return children[w]; }
    std::vector<WindowInfo> top;
    std::map<uint32_t, std::vector<WindowInfo>> children;
};

// A clock that moves 1 ms each time it is read: the run takes the same time however loaded the machine.
class TickingClock : public Clock {
public:
    TimePoint Now() const override { return now += std::chrono::milliseconds(1); }
    void Wait(std::chrono::milliseconds span, const std::function<void()>& yield) override
    {
        if (yield)
            yield();
        now += span;
    }
    mutable TimePoint now{};
};

class Dialog : public testing::Test {
protected:
    Dialog() : client("Aracnide"), ctx(&client), ini(SettingsProfile(dir.Path() + "ARACNIDE.INI"))
    {
        ctx.reportPath = dir.Path() + "ARACNIDE.LOG";
        QGuiApplication::clipboard()->clear();
    }

    DlgCheck& Open()
    {
        dlg.reset();  // one dialog at a time follows the run
        dlg = std::make_unique<DlgCheck>(ctx, ini, prompts, windows, QStringLiteral("1.20"));
        return *dlg;
    }
    template <typename T>
    T* Find(const char* name) const
    {
        T* w = dlg->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    QComboBox* Location() const { return Find<QComboBox>("c100"); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    void StartAt(const QString& location)
    {
        Location()->setEditText(location);
        Click("c1");
    }
    // The buttons as the state table gives them: Start's caption, whether Quit and Clear list work.
    std::string Buttons() const
    {
        return Button("c1")->text().toStdString() + (Button("c2")->isEnabled() ? " quit" : "") +
               (Button("c10")->isEnabled() ? " clear" : "");
    }
    // Runs `what` as a user's command would arrive: from the yield after the run's first entry.
    void AfterFirstEntry(std::function<void()> what)
    {
        auto counter = ctx.observer.counter;
        ctx.observer.counter = [this, counter, what, fired = false](int done, int count) mutable {
            counter(done, count);
            if (ctx.CheckStatus == kRunning && !fired) {
                fired = true;
                QTimer::singleShot(0, dlg.get(), what);
            }
        };
    }

    TempDir dir, site;
    TickingClock clock;  // for the tests that measure the run's time
    HttpClient client;
    RunContext ctx;
    Profile ini;
    ScriptedPrompts prompts;
    FakeWindows windows;
    std::unique_ptr<DlgCheck> dlg;
};

TEST_F(Dialog, ControlsCarryTheirNumbersCaptionsAndPlaces)
{
    DlgCheck& d = Open();
    EXPECT_EQ(d.windowTitle(), "Aracnide Links");
    const DialogBase b = d.Base();
    EXPECT_EQ(d.size(), QSize(DuToX(360, b), DuToY(276, b)));
    EXPECT_EQ(Button("c1")->geometry(), DuToPixels(QRect(180, 256, 50, 16), b));
    EXPECT_EQ(Find<QListView>("c300")->geometry(), DuToPixels(QRect(10, 111, 340, 118), b));
    EXPECT_EQ(Find<Gauge>("c80")->geometry(), DuToPixels(QRect(180, 229, 100, 12), b));
    EXPECT_EQ(Button("c1")->text(), "&Start");
    EXPECT_TRUE(Button("c1")->isDefault());
    EXPECT_EQ(Button("c10")->text(), "&Clear list");
    EXPECT_EQ(Button("c2")->text(), "&Quit");
    EXPECT_EQ(Button("c201open")->text(), "&Open File");
    EXPECT_EQ(Button("c200")->text(), "Aracnide Links - mail the author - v1.20");
    EXPECT_EQ(Find<QCheckBox>("c500")->text(), " &Local links");
    EXPECT_EQ(Find<QCheckBox>("c502")->text(), " &Images -> size");
    EXPECT_EQ(Find<QRadioButton>("c601")->text(), " Everything (links, page size)");
    EXPECT_EQ(Find<QLabel>("lblReportContent")->text(), "Report content :");
    EXPECT_EQ(ctx.model.TabStops(), std::vector<int>{310});

    // Tab order: the table's order, without the credit button.
    std::vector<std::string> chain;
    QWidget* w = Location();
    for (int i = 0; i < 14; ++i) {
        chain.push_back(w->objectName().toStdString());
        do
            w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty() || !w->isEnabled() ||
               w->parentWidget() != dlg.get());
    }
    EXPECT_EQ(chain, (std::vector<std::string>{"c100", "c101", "c102", "c103", "c500", "c501", "c502", "c600", "c601",
                                               "c300", "c1", "c10", "c2", "c201open"}));
}

TEST_F(Dialog, StartFillsTheFieldsFromTheSettingsAndTheHistoryNewestFirst)
{
    dir.Write("ARACNIDE.INI", "[Init]\r\nszUser=ann\r\nszPass=pw\r\nTimeout=9\r\nbRLS=0\r\nbCEL=1\r\nbCalcSize=1\r\n"
                              "bLogData=1\r\nReportOpt=1\r\n[UrlList]\r\nUrlNumber=3\r\nurl1=http://a.dom/\r\nurl2=\r\n"
                              "url3=http://c.dom/\r\n");
    Open();
    ASSERT_EQ(Location()->count(), 2);
    EXPECT_EQ(Location()->itemText(0), "http://c.dom/");
    EXPECT_EQ(Location()->itemText(1), "http://a.dom/");
    EXPECT_EQ(Location()->currentText(), "") << "no item is selected";
    EXPECT_EQ(Find<QLineEdit>("c101")->text(), "ann");
    EXPECT_EQ(Find<QLineEdit>("c102")->text(), "pw");
    EXPECT_EQ(Find<QLineEdit>("c103")->text(), "9");
    EXPECT_FALSE(Find<QCheckBox>("c500")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>("c501")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>("c502")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>("c601")->isChecked());
    site.Write("index.htm", "");
    StartAt(QString::fromStdString(site.Path() + "index.htm"));
    EXPECT_TRUE(ctx.settings.bLogData) << "the run copies page data as the file says";
}

TEST_F(Dialog, ABrowsersAddressOrElseTheClipboardGivesTheLocation)
{
    windows.top = {{1, "http://not-a-browser/"}, {2, "News - Mozilla Firefox"}};
    windows.children[2] = {{3, "toolbar"}};
    windows.children[3] = {{4, "HTTP://host.dom/page.htm"}};
    Open();
    EXPECT_EQ(Location()->currentText(), "HTTP://host.dom/page.htm");

    windows.top.clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("https://clip.dom/\nmore"));
    Open();
    EXPECT_EQ(Location()->currentText(), "https://clip.dom/");
    QGuiApplication::clipboard()->setText(QStringLiteral("not a link"));
    Open();
    EXPECT_EQ(Location()->currentText(), "");
}

TEST_F(Dialog, ARunGoesThroughTheStatesOfTheTable)
{
    site.Write("index.htm", R"(<a href="a.htm"> <a href="b.htm"> <a href="c.htm">)");
    for (const char* page : {"a.htm", "b.htm", "c.htm"})
        site.Write(page, "page");
    Open();
    EXPECT_EQ(Buttons(), "&Start quit clear");

    std::string during, afterSuspend;
    AfterFirstEntry([&] {
        during = Buttons();
        Click("c1");  // re-entrant: only asks the run to stop
        afterSuspend = Buttons();
    });
    StartAt(QString::fromStdString(site.Path() + "index.htm"));
    EXPECT_EQ(during, "&Suspend");
    EXPECT_EQ(afterSuspend, "&Start") << "Quit and Clear list wait until the run has stopped";
    EXPECT_EQ(ctx.CheckStatus, kSuspended);
    EXPECT_EQ(Buttons(), "&Start quit clear");
    EXPECT_EQ(ctx.curlig, 1) << "the run stopped after its current entry";
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"index.htm\tOk", "a.htm", "b.htm", "c.htm"}));
    EXPECT_TRUE(prompts.reports.empty());

    Click("c1");  // resume to the end
    EXPECT_EQ(ctx.CheckStatus, kIdle);
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"index.htm\tOk", "a.htm\tOk", "b.htm\tOk", "c.htm\tOk"}));
    EXPECT_EQ(Find<QLabel>("c202")->text(), "4 / 4");
    EXPECT_EQ(Find<Gauge>("c80")->JgCur(), 100);
    EXPECT_EQ(Find<QListView>("c300")->model()->rowCount(), 4) << "the view follows the list";
    EXPECT_EQ(Find<QListView>("c300")->currentIndex().row(), 3);
    EXPECT_EQ(prompts.reports, (std::vector<QString>{QString::fromStdString(ctx.reportPath)}));

    Click("c10");
    EXPECT_EQ(ctx.model.Count(), 0);
    EXPECT_EQ(Find<QLabel>("c202")->text(), "");
    EXPECT_EQ(Find<QLabel>("c201")->text(), "");
    EXPECT_EQ(Find<Gauge>("c80")->JgCur(), 0);
}

TEST_F(Dialog, CommandsBeforeASuspendedRunHasStoppedCannotPullItsListAway)
{
    site.Write("index.htm", R"(<a href="a.htm"> <a href="b.htm">)");
    site.Write("a.htm", "");
    site.Write("b.htm", "");
    Open();
    AfterFirstEntry([&] {
        Click("c1");   // suspend
        Click("c10");  // the run is still on its way out: nothing happens
        Click("c2");
        Click("c1");  // and a second Start lets it go on
    });
    StartAt(QString::fromStdString(site.Path() + "index.htm"));
    EXPECT_EQ(ctx.CheckStatus, kIdle);
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"index.htm\tOk", "a.htm\tOk", "b.htm\tOk"}));
    EXPECT_EQ(prompts.reports.size(), 1u);
    EXPECT_EQ(Buttons(), "&Start quit clear");
}

TEST_F(Dialog, AStartWhileARunIsBeingSetUpDoesNotStartASecondOne)
{
    site.Write("index.htm", R"(<a href="a.htm">)");
    site.Write("a.htm", "");
    Open();
    int clicks = 0, setUps = 0;
    auto counter = ctx.observer.counter;
    ctx.observer.counter = [&](int done, int count) {
        setUps += done == 1 && count == 1;  // a new run shows its start entry as "1 / 1"
        counter(done, count);
    };
    QTimer::singleShot(0, dlg.get(), [&] {  // the first yield comes before the run's first entry
        clicks += ctx.CheckStatus == kIdle;
        Click("c1");
    });
    StartAt(QString::fromStdString(site.Path() + "index.htm"));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(setUps, 1);
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"index.htm\tOk", "a.htm\tOk"}));
    EXPECT_EQ(prompts.reports.size(), 1u) << "one run, one report";
}

TEST_F(Dialog, SuspendThenQuitShowsTheReportWrittenSoFar)
{
    site.Write("index.htm", R"(<a href="gone.htm"> <a href="a.htm">)");
    site.Write("a.htm", "");
    Open();
    bool closedDuringRun = false;
    AfterFirstEntry([&] {
        dlg->reject();  // Escape or the window's close button while running: nothing happens
        closedDuringRun = dlg->result() == QDialog::Rejected && !ctx.model.Count();
        Click("c1");
    });
    dlg->show();
    StartAt(QString::fromStdString(site.Path() + "index.htm"));
    ASSERT_EQ(ctx.CheckStatus, kSuspended);
    EXPECT_FALSE(closedDuringRun);
    EXPECT_TRUE(dlg->isVisible());
    Click("c1");  // resume: the missing page is reported
    EXPECT_EQ(prompts.reports, (std::vector<QString>{QString::fromStdString(ctx.reportPath)}));

    prompts.reports.clear();
    AfterFirstEntry([&] { Click("c1"); });
    StartAt(QString::fromStdString(site.Path() + "index.htm"));
    ASSERT_EQ(ctx.CheckStatus, kSuspended);
    Click("c2");
    EXPECT_EQ(prompts.reports.size(), 1u) << "the report so far is closed and shown";
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_NE(dir.Read("ARACNIDE.LOG").find("Aracnide 1.20 report"), std::string::npos);
}

TEST_F(Dialog, ALocationWithoutSchemeBecomesTheSiteRoot)
{
    LoopbackServer srv;
    srv.svr.Get("/", [](const httplib::Request&, httplib::Response& res) { res.set_content("<p>", "text/html"); });
    srv.Start();
    Open();
    const QString host = QStringLiteral("127.0.0.1:%1").arg(srv.port());
    StartAt(host);
    EXPECT_EQ(Location()->currentText(), "http://" + host + "/");
    EXPECT_EQ(Find<QLabel>("c201")->text(), "http://" + host + "/");
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{"\tOk"}) << "the empty start entry is the site root";
    EXPECT_EQ(ini.GetString("Init", "URL", ""), "http://" + host.toStdString() + "/");
}

TEST_F(Dialog, ANewRunStoresItsSettingsAndANewLocationInTheHistory)
{
    site.Write("index.htm", "");
    Open();
    Find<QLineEdit>("c101")->setText(QStringLiteral("ann"));
    Find<QLineEdit>("c102")->setText(QStringLiteral("pw"));
    Find<QLineEdit>("c103")->setText(QStringLiteral("20s"));
    Find<QCheckBox>("c502")->setChecked(true);
    Find<QRadioButton>("c601")->setChecked(true);
    const QString location = QString::fromStdString(site.Path() + "index.htm");
    StartAt(location);
    EXPECT_EQ(ctx.settings.Timeout, 20);
    EXPECT_EQ(ini.GetString("Init", "Timeout", ""), "20s") << "the field's text as typed";
    EXPECT_EQ(ini.GetString("Init", "szUser", ""), "ann");
    EXPECT_EQ(ini.GetString("Init", "szPass", ""), "pw");
    EXPECT_EQ(ini.GetInt("Init", "bCalcSize", 0), 1);
    EXPECT_EQ(ini.GetInt("Init", "ReportOpt", 0), 1);
    EXPECT_EQ(ini.GetString("UrlList", "url1", ""), location.toStdString());
    EXPECT_EQ(ini.GetInt("UrlList", "UrlNumber", 0), 1);
    EXPECT_EQ(Location()->count(), 0) << "the list of the open dialog does not change";

    Open();  // the next dialog lists it, so starting it again stores nothing
    StartAt(location);
    EXPECT_EQ(ini.GetInt("UrlList", "UrlNumber", 0), 1);
    EXPECT_EQ(prompts.reports.size(), 2u) << "the report is shown after each run";
}

TEST_F(Dialog, ATimeOutThatIsNoNumberIsRefusedAsTheCommandLineRefusesIt)
{
    site.Write("index.htm", "");
    Open();
    Find<QLineEdit>("c103")->setText(QStringLiteral("soon"));
    StartAt(QString::fromStdString(site.Path() + "index.htm"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].first, "Timeout: not a number: soon");
    EXPECT_EQ(ctx.LB.GetCount(), 0) << "no run started";
    EXPECT_EQ(ini.GetString("Init", "Timeout", ""), "") << "nothing stored";
}

TEST_F(Dialog, AListFileChecksItsColumnWithExternalLinksOn)
{
    LoopbackServer srv;
    srv.svr.Get("/", [](const httplib::Request&, httplib::Response& res) { res.set_content("<p>", "text/html"); });
    srv.Start();
    site.Write("list.txt", "a;" + srv.Root() + ";b;\r\n");
    Open();
    StartAt(QString::fromStdString(site.Path() + "list.txt#1"));
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{srv.Root() + "\tOk"});
    EXPECT_FALSE(Find<QCheckBox>("c500")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>("c501")->isChecked());
    EXPECT_EQ(ini.GetString("Init", "URL", ""), site.Path() + "list.txt");
    EXPECT_EQ(ini.GetInt("Init", "bCEL", 0), 1);
}

TEST_F(Dialog, ARunThatCannotStartSaysWhyAndStaysIdle)
{
    Open();
    StartAt(QString::fromStdString(site.Path() + "none.txt#1"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].first.toStdString(), site.Path() + "none.txt") << "the text is the file name";
    EXPECT_EQ(prompts.messages[0].second.toStdString(), std::strerror(ENOENT)) << "the caption the reason";
    EXPECT_EQ(ctx.CheckStatus, kIdle);

    ctx.reportPath = dir.Path() + "no/such/folder/ARACNIDE.LOG";
    StartAt(QStringLiteral("/tmp/index.htm"));
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].first, "Unable to create LOG file");
    EXPECT_EQ(prompts.messages[1].second, "Aracnide");
    EXPECT_EQ(Buttons(), "&Start quit clear");
}

TEST_F(Dialog, OpenFileAndTheCreditButtonUseTheDesktop)
{
    Open();
    prompts.fileToChoose = QStringLiteral("/web/index.htm");
    Click("c201open");
    EXPECT_EQ(prompts.fileDialogs, std::vector<QString>{"Aracnide|HTML Document (*.htm*)"});
    EXPECT_EQ(Location()->currentText(), "/web/index.htm");
    Click("c200");
    EXPECT_EQ(prompts.urls, std::vector<QString>{QString::fromLatin1(kCreditMail)});
}

TEST_F(Dialog, ThePasswordIsEchoedAsAPasswordField)
{
    Open();
    EXPECT_EQ(Find<QLineEdit>("c102")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Find<QLineEdit>("c101")->echoMode(), QLineEdit::Normal);
}

TEST_F(Dialog, ALocalPathWithAccentsIsOpenedAsTheFileSystemNamesIt)
{
    const std::string folder = site.Path() + "caf\xc3\xa9/";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "index.htm") << R"(<a href="a.htm">)";
    std::ofstream(folder + "a.htm") << "";
    Open();
    StartAt(QString::fromUtf8(folder + "index.htm"));
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"index.htm\tOk", "a.htm\tOk"}));
    EXPECT_EQ(Find<QLabel>("c201")->text(), QString::fromUtf8(folder));
    EXPECT_EQ(ini.GetString("Init", "URL", ""), folder + "index.htm");
    Open();
    EXPECT_EQ(Location()->itemText(0), QString::fromUtf8(folder + "index.htm")) << "the history shows it as typed";
}

TEST_F(Dialog, ASettingsFileThatCannotBeWrittenIsReportedOnce)
{
    site.Write("index.htm", "");
    Profile nowhere = SettingsProfile(dir.Path() + "no/such/folder/ARACNIDE.INI");
    dlg = std::make_unique<DlgCheck>(ctx, nowhere, prompts, windows, QStringLiteral("1.20"));
    StartAt(QString::fromStdString(site.Path() + "index.htm"));
    StartAt(QString::fromStdString(site.Path() + "index.htm"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].first.startsWith("The settings could not be saved in " +
                                                     QString::fromStdString(nowhere.Path()) + ": "));
    EXPECT_EQ(prompts.messages[0].second, "Aracnide");
    EXPECT_EQ(prompts.reports.size(), 2u) << "both runs went on";
}

TEST_F(Dialog, DuringARunTheListIsRepaintedAtMostEvery50Ms)
{
    // 400 pages in a chain, each with a few links back: thousands of list changes in a fraction of a second.
    for (int i = 0; i < 400; ++i)
        site.Write("p" + std::to_string(i) + ".htm", "<a href=\"p" + std::to_string(i + 1) +
                                                         ".htm\"><a href=\"p0.htm\"><a href=\"p" +
                                                         std::to_string(i / 2) + ".htm\">");
    Open();
    dlg->show();
    QListView* view = Find<QListView>("c300");
    int inserts = 0, changes = 0;
    QObject::connect(view->model(), &QAbstractItemModel::rowsInserted, [&] { ++inserts; });
    QObject::connect(view->model(), &QAbstractItemModel::dataChanged, [&] { ++changes; });
    ctx.clock = &clock;
    StartAt(QString::fromStdString(site.Path() + "p0.htm"));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(clock.now.time_since_epoch()).count();
    ASSERT_EQ(ctx.model.Count(), 401);
    EXPECT_EQ(view->model()->rowCount(), 401) << "the view has every entry once the run ends";
    EXPECT_LE(inserts, ms / DlgCheck::kRepaintMs + 3) << "in " << ms << " ms";
    EXPECT_LE(changes, ms / DlgCheck::kRepaintMs + 3) << "in " << ms << " ms";
    EXPECT_EQ(view->currentIndex().row(), 400);
}

TEST_F(Dialog, WhileMinimisedTheTitleShowsThePercentage)
{
    DlgCheck& d = Open();
    d.show();
    d.setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    if (!d.isMinimized())
        GTEST_SKIP() << "this platform does not minimise windows";
    ctx.observer.progress(42);
    EXPECT_EQ(d.windowTitle(), "42 %");
    d.setWindowState(Qt::WindowNoState);
    QApplication::processEvents();
    EXPECT_EQ(d.windowTitle(), "Aracnide Links");
}

}  // namespace
