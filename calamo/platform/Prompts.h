#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace calamo {

struct FileFilter {
    QString description;
    QString pattern;  // "*.HTM; *.HTML"
};

struct FileDialogOptions {
    QString defaultExtension;
    std::vector<FileFilter> filters;  // the first one is selected
};

// Every modal question the editor asks. The window uses the Qt dialogs; tests answer from a script.
class Prompts {
public:
    virtual ~Prompts() = default;

    // Warning box with Yes and No (no Cancel); true for Yes.
    virtual bool question(const QString& caption, const QString& text) = 0;
    // Warning box with an OK button.
    virtual void showWarning(const QString& text) = 0;
    // Single-line input box; Cancel yields `defaultText`.
    virtual QString inputBox(const QString& caption, const QString& prompt, const QString& defaultText) = 0;
    // Colour picker, starting at the colour chosen last; a resolved RGB as 0x00BBGGRR, empty when cancelled.
    virtual std::optional<std::uint32_t> pickColor() = 0;
    virtual std::optional<QString> openFileName(const FileDialogOptions& options) = 0;
    virtual std::optional<QString> saveFileName(const FileDialogOptions& options) = 0;
    // The error box that ends a failed command.
    virtual void showError(const QString& text) = 0;
    // An information box with an OK button.
    virtual void showMessage(const QString& text) = 0;
    // The question about recovery copies found at start: true for "Ripristina", false for "Scarta".
    virtual bool askRestore(const QString& text) = 0;
};

}  // namespace calamo
