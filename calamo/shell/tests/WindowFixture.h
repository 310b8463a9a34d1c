#pragma once

// The main window in a fresh working folder (where calamo.cfg lives), answering prompts from a script.

#include "Config.h"
#include "EditorControl.h"
#include "FakeClock.h"
#include "FakeFileSystem.h"
#include "Fakes.h"
#include "Modal.h"
#include "TForm1.h"
#include "TestFiles.h"

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace calamo::testing {

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    void TearDown() override
    {
        window.reset();
        QDir::setCurrent(previous);
    }

    TForm1& open()
    {
        window = std::make_unique<TForm1>(prompts, files, clock, dir.path() + u'/');
        window->show();
        return *window;
    }

    void writeConfig(const Config& config) { ASSERT_EQ(ScriviCfg(files, config), std::nullopt); }

    // Triggers the menu item `action`; `act` handles the modal dialog it opens while that is open.
    void runModal(const char* action, std::function<void()> act)
    {
        whenModal([act = std::move(act)](QWidget&) { act(); });
        child<QAction>(action)->trigger();
    }

    // Double-clicks row `row` of `list` (first clicking it, as a user's double click does).
    static void doubleClickRow(QListWidget* list, int row)
    {
        list->scrollToItem(list->item(row));
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    EditorControl& editor() { return *dynamic_cast<EditorControl*>(window->documents().current()->editor); }
    template <typename T>
    T* child(const char* name)
    {
        return window->findChild<T*>(QLatin1String(name));
    }

    QTemporaryDir dir;
    QString previous;
    ScriptedPrompts prompts;
    FakeFileSystem files;  // the window does every file operation through it
    FakeClock clock;
    std::unique_ptr<TForm1> window;
};

}  // namespace calamo::testing
