// The main of every test program of the copier: a Qt application, on the offscreen platform unless the
// environment names another (the end-to-end tests drive the real program in an X server), with a runtime
// folder of its own so that no window's one-copy socket is left in the shared temporary folder.

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const QTemporaryDir runtime;
    if (runtime.isValid())
        setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
