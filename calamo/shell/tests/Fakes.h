#pragma once

// Stand-ins for the window side of the editor: editors as strings, a tab list, and prompts answered from a
// script. Shared by the engine tests of the shell and of the tag inserters.

#include "Prompts.h"
#include "TextEditor.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace calamo::testing {

class FakeEditor final : public TextEditor {
public:
    explicit FakeEditor(QString* clipboard = nullptr) : clipboard_(clipboard) {}

    QString text() const override { return text_; }
    void setText(const QString& text) override
    {
        text_ = text;
        start_ = length_ = 0;
        modified_ = false;
        ++wholeReplacements;
    }
    int selectionStart() const override { return start_; }
    int selectionLength() const override { return length_; }
    void insertText(int offset, const QString& text) override
    {
        ASSERT_GE(offset, 0);
        ASSERT_LE(offset, text_.size());
        text_.insert(offset, text);
        changed();
    }
    void setCaret(int offset) override
    {
        start_ = offset;
        length_ = 0;
    }
    void setShown(bool shown) override { shown_ = shown; }
    bool isShown() const override { return shown_; }
    void cut() override
    {
        copy();
        text_.remove(start_, length_);
        length_ = 0;
        changed();
    }
    void copy() override
    {
        if (clipboard_)
            *clipboard_ = text_.mid(start_, length_);
    }
    bool paste() override
    {
        const QString pasted = clipboard_ ? *clipboard_ : QString();
        if (pasted.isEmpty())
            return false;
        text_.remove(start_, length_);
        text_.insert(start_, pasted);
        start_ += static_cast<int>(pasted.size());
        length_ = 0;
        changed();
        return true;
    }
    void selectAll() override
    {
        start_ = 0;
        length_ = static_cast<int>(text_.size());
    }
    bool wordWrap() const override { return wrap_; }
    void setWordWrap(bool on) override { wrap_ = on; }
    std::optional<QString> print(const QString& jobTitle) override
    {
        printedAs.push_back(jobTitle);
        return std::nullopt;
    }
    bool isModified() const override { return modified_; }
    void setModified(bool modified) override { modified_ = modified; }
    void onTextChanged(std::function<void()> handler) override { textChanged_ = std::move(handler); }
    void takeFocus() override { ++focusTaken; }

    void select(int start, int length) override
    {
        start_ = start;
        length_ = length;
    }
    // The user typed: the text changes and the editor knows it.
    void setContent(const QString& text)
    {
        text_ = text;
        changed();
    }

    std::vector<QString> printedAs;
    int wholeReplacements = 0;
    int focusTaken = 0;

private:
    void changed()
    {
        modified_ = true;
        if (textChanged_)
            textChanged_();
    }

    std::function<void()> textChanged_;
    QString* clipboard_;
    QString text_;
    int start_ = 0;
    int length_ = 0;
    bool shown_ = true;
    bool wrap_ = true;
    bool modified_ = false;
};

class FakeHost final : public EditorHost {
public:
    TextEditor& createEditor() override
    {
        editors.push_back(std::make_unique<FakeEditor>(&clipboard));
        live.push_back(editors.back().get());
        return *editors.back();
    }
    void destroyEditor(TextEditor& editor) override { std::erase(live, &editor); }
    void addTab(const QString& caption) override { tabs.push_back(caption); }
    void removeTab(int index) override { tabs.removeAt(index); }
    void selectTab(int index) override { selected = index; }
    void setTabCaption(int index, const QString& caption) override { tabs[index] = caption; }
    int tabCount() const override { return static_cast<int>(tabs.size()); }
    void applyLayout() override { ++layouts; }

    FakeEditor& editor(int i) { return *static_cast<FakeEditor*>(live.at(static_cast<std::size_t>(i))); }

    std::vector<std::unique_ptr<FakeEditor>> editors;  // every editor ever made, so pointers stay valid
    std::vector<TextEditor*> live;                     // those not yet destroyed, in creation order
    QStringList tabs;
    int selected = -1;
    int layouts = 0;
    QString clipboard;
};

// Answers each prompt from its queue and logs every call. An unexpected prompt fails the test.
class ScriptedPrompts final : public Prompts {
public:
    bool question(const QString& caption, const QString& text) override
    {
        log.push_back(QStringLiteral("question ") + caption + QStringLiteral(": ") + text);
        return next(answers, false);
    }
    void showWarning(const QString& text) override { log.push_back(QStringLiteral("warning: ") + text); }
    QString inputBox(const QString& caption, const QString& prompt, const QString& defaultText) override
    {
        log.push_back(QStringLiteral("input ") + caption + QStringLiteral(": ") + prompt);
        if (inputs.empty()) {
            ADD_FAILURE() << "unexpected prompt: " << log.back().toStdString();
            return defaultText;
        }
        const bool answered = inputs.front().has_value();
        const QString answer = answered ? *inputs.front() : defaultText;
        inputs.pop_front();
        return answer;
    }
    std::optional<std::uint32_t> pickColor() override
    {
        log.push_back(QStringLiteral("colour"));
        return next(colours, std::optional<std::uint32_t>());
    }
    std::optional<QString> openFileName(const FileDialogOptions&) override
    {
        log.push_back(QStringLiteral("open dialog"));
        return next(openNames, std::optional<QString>());
    }
    std::optional<QString> saveFileName(const FileDialogOptions&) override
    {
        log.push_back(QStringLiteral("save dialog"));
        if (beforeSaveDialog)
            beforeSaveDialog();
        return next(saveNames, std::optional<QString>());
    }
    void showError(const QString& text) override { log.push_back(QStringLiteral("error: ") + text); }
    void showMessage(const QString& text) override { log.push_back(QStringLiteral("message: ") + text); }
    bool askRestore(const QString& text) override
    {
        log.push_back(QStringLiteral("restore: ") + text);
        return next(answers, false);
    }

    std::deque<bool> answers;
    std::deque<std::optional<QString>> inputs;  // empty: Cancel
    std::deque<std::optional<std::uint32_t>> colours;
    std::deque<std::optional<QString>> openNames;
    std::deque<std::optional<QString>> saveNames;
    std::vector<QString> log;
    std::function<void()> beforeSaveDialog;  // runs as a save dialog opens

private:
    template <typename T>
    T next(std::deque<T>& queue, T fallback)
    {
        if (queue.empty()) {
            ADD_FAILURE() << "unexpected prompt: " << log.back().toStdString();
            return fallback;
        }
        fallback = std::move(queue.front());
        queue.pop_front();
        return fallback;
    }
};

}  // namespace calamo::testing
