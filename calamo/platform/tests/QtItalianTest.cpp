#include "QtItalian.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

TEST(QtItalian, QtsOwnButtonsSpeakItalianWhateverTheLocale)
{
    int argc = 1;
    char name[] = "calamo_platform_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ASSERT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));

    ASSERT_TRUE(calamo::installQtItalian(app)) << "Qt's Italian catalogue (qtbase_it) is not installed";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString::fromUtf8("&S\u00EC"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annulla"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Cerca in:"));
}

}  // namespace
