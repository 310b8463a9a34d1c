#include "QtItalian.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace travaso {

namespace {

TEST(QtItalianTest, QtsOwnButtonsSpeakItalianWhateverTheLocale)
{
    // The application of the tests' main; each case runs in a process of its own.
    QCoreApplication& app = *QCoreApplication::instance();
    ASSERT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"), QStringLiteral("&No"));
    ASSERT_EQ(QCoreApplication::translate("QPlatformTheme", "Close"), QStringLiteral("Close"));

    ASSERT_TRUE(InstallQtItalian(app)) << "Qt's Italian catalogue (qtbase_it) is not installed";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Close"), QStringLiteral("Chiudi"));
    EXPECT_EQ(QCoreApplication::translate("QWidgetTextControl", "&Copy"), QStringLiteral("&Copia"));
}

}  // namespace

}  // namespace travaso
