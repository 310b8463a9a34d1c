#pragma once
// Every modal message or standard dialog of the link checker, and the desktop services it asks for
// (the report viewer, the mail program), so that tests can answer them.

#include <QString>

class QWidget;

namespace aracnide {

class Prompts {
public:
    virtual ~Prompts() = default;
    // A message box with an OK button.
    virtual void Message(QWidget* owner, const QString& text, const QString& caption) = 0;
    // The file-open dialog for an existing file; an empty text when nothing was chosen.
    virtual QString OpenFileName(QWidget* owner, const QString& title, const QString& filter) = 0;
    // Hands a file to the desktop's viewer for it.
    virtual void OpenReport(const QString& path) = 0;
    // Hands a URL ("mailto:...") to the desktop.
    virtual void OpenUrl(const QString& url) = 0;
};

// The real ones: message boxes, the file dialog and the desktop services.
class QtPrompts : public Prompts {
public:
    void Message(QWidget* owner, const QString& text, const QString& caption) override;
    QString OpenFileName(QWidget* owner, const QString& title, const QString& filter) override;
    void OpenReport(const QString& path) override;
    void OpenUrl(const QString& url) override;
};

}  // namespace aracnide
