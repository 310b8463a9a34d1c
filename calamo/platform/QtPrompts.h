#pragma once

#include "Prompts.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

namespace calamo {

// The editor's questions as Qt dialogs over a parent window.
class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    bool question(const QString& caption, const QString& text) override;
    void showWarning(const QString& text) override;
    QString inputBox(const QString& caption, const QString& prompt, const QString& defaultText) override;
    std::optional<std::uint32_t> pickColor() override;
    std::optional<QString> openFileName(const FileDialogOptions& options) override;
    std::optional<QString> saveFileName(const FileDialogOptions& options) override;
    void showError(const QString& text) override;
    void showMessage(const QString& text) override;
    bool askRestore(const QString& text) override;

private:
    QPointer<QWidget> parent_;
    QColor lastColor_ = Qt::black;  // one picker for the whole window: it starts at the last choice
};

}  // namespace calamo
