#include "prompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace aracnide {

void QtPrompts::Message(QWidget* owner, const QString& text, const QString& caption)
{
    QMessageBox::information(owner, caption, text, QMessageBox::Ok);
}

QString QtPrompts::OpenFileName(QWidget* owner, const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileName(owner, title, QString(), filter, nullptr, QFileDialog::ReadOnly);
}

void QtPrompts::OpenReport(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(full)))
        QProcess::startDetached(QStringLiteral("xdg-open"), {full});
}

void QtPrompts::OpenUrl(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url));
}

}  // namespace aracnide
