#include "QtPrompts.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace travaso {

namespace {

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

void QtPrompts::Message(std::string_view text)
{
    QMessageBox::information(parent_, QGuiApplication::applicationDisplayName(), ToQString(text), QMessageBox::Ok);
}

void QtPrompts::ErrorBox(std::string_view text)
{
    QMessageBox::critical(parent_, QGuiApplication::applicationDisplayName(), ToQString(text), QMessageBox::Ok);
}

}  // namespace travaso
