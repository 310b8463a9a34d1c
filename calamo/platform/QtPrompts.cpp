#include "QtPrompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace calamo {

namespace {

// "Pagine web (*.htm, *.html)" with "*.HTM; *.HTML" becomes a Qt filter that matches both cases, since Linux
// file names are case-sensitive.
QStringList qtFilters(const FileDialogOptions& options)
{
    QStringList filters;
    for (const FileFilter& filter : options.filters) {
        QStringList patterns;
        for (QString pattern : filter.pattern.split(u';', Qt::SkipEmptyParts)) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*")) {
                patterns << QStringLiteral("*");
                continue;
            }
            patterns << pattern.toLower() << pattern.toUpper();
        }
        patterns.removeDuplicates();
        filters << filter.description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

std::optional<QString> runFileDialog(QWidget* parent, const FileDialogOptions& options, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(qtFilters(options));
    // The descriptions already name their patterns ("Pagine web (*.htm)"): the dialog shows them once.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // "HTM; HTML" gives "htm": Linux users expect lower-case extensions.
    dialog.setDefaultSuffix(options.defaultExtension.section(u';', 0, 0).trimmed().toLower());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

}  // namespace

bool QtPrompts::question(const QString& caption, const QString& text)
{
    // A lone CR separates lines in the message texts; Qt breaks lines at LF.
    QString shown = text;
    shown.replace(u'\r', u'\n');
    QMessageBox box(QMessageBox::Warning, caption, shown, QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompts::showWarning(const QString& text)
{
    QMessageBox::warning(parent_, QStringLiteral("Calamo"), text);
}

QString QtPrompts::inputBox(const QString& caption, const QString& prompt, const QString& defaultText)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : defaultText;
}

std::optional<std::uint32_t> QtPrompts::pickColor()
{
    const QColor chosen = QColorDialog::getColor(lastColor_, parent_);
    if (!chosen.isValid())
        return std::nullopt;
    lastColor_ = chosen;
    const QColor rgb = chosen.toRgb();
    return static_cast<std::uint32_t>(rgb.red()) | static_cast<std::uint32_t>(rgb.green()) << 8 |
           static_cast<std::uint32_t>(rgb.blue()) << 16;
}

std::optional<QString> QtPrompts::openFileName(const FileDialogOptions& options)
{
    return runFileDialog(parent_, options, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPrompts::saveFileName(const FileDialogOptions& options)
{
    return runFileDialog(parent_, options, QFileDialog::AcceptSave);
}

void QtPrompts::showError(const QString& text)
{
    QMessageBox::critical(parent_, QStringLiteral("Calamo"), text);
}

void QtPrompts::showMessage(const QString& text)
{
    QString shown = text;
    shown.replace(u'\r', u'\n');
    QMessageBox::information(parent_, QStringLiteral("Calamo"), shown);
}

bool QtPrompts::askRestore(const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Copie di recupero"), text, QMessageBox::NoButton, parent_);
    QPushButton* restore = box.addButton(QStringLiteral("Ripristina"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Scarta"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.exec();
    return box.clickedButton() == restore;
}

}  // namespace calamo
