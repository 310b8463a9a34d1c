#pragma once

// The main window in a fresh working folder (where calamo.cfg lives), answering prompts from a script.

#include "Config.h"
#include "EditorControl.h"
#include "FakeClock.h"
#include "FakeFileSystem.h"
#include "Fakes.h"
#include "TForm1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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

    EditorControl& editor() { return *dynamic_cast<EditorControl*>(window->documents().current()->editor); }
    template <typename T>
    T* child(const char* name)
    {
        return window->findChild<T*>(QLatin1String(name));
    }

    QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    QString previous;
    ScriptedPrompts prompts;
    FakeFileSystem files;  // the window does every file operation through it
    FakeClock clock;
    std::unique_ptr<TForm1> window;
};

}  // namespace calamo::testing
