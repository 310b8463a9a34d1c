#pragma once

#include "Prompts.h"
#include "TextCodec.h"
#include "TextEditor.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace calamo {

class FileSystem;

// The open documents, one per tab, and the commands that create, open, save, print and close them.
// The text of a document lives only in its editor control.
// The text of a page the editor generates from `lines`: every line, the last one too, ends in a line break, so
// the saved page ends each line in CR LF as text files do.
QString generatedPageText(const QStringList& lines);

// The file name every unnamed document carries, in the program folder.
inline constexpr const char* kPlaceholderFileName = "~temp.htm";

class DocumentTable {
public:
    struct Document {
        TextEditor* editor = nullptr;  // owned by the host
        QString fileName;
        bool saved = true;  // false while the document has changes that are not on disk
        Encoding encoding = Encoding::Windows1252;
        bool toldEncoding = false;  // the user was told once that a character did not fit the encoding
        int serial = 0;             // names the document for its whole life, unique in this process
    };

    // `placeholderPath` is the name every unnamed document carries (`kPlaceholderFileName` in the program folder).
    DocumentTable(EditorHost& host, Prompts& prompts, FileSystem& files, QString placeholderPath);

    // The first document with the page skeleton, caret at the start of line 10.
    void createFirstDocument();

    void NuovoClick();
    // A new empty document as New makes it, without the setup dialog; the layout is applied. Its editor.
    TextEditor& newDocument();
    void ApriClick();
    // Opens `path` as Open does after its dialog; false when it could not be read (the error was shown).
    bool openFile(const QString& path);
    void SalvaClick();
    void Speed46Click();  // save all
    void SalvanomeClick();
    void StampaClick();
    void TagliaClick();
    void CopiaClick();
    void IncollaClick();
    void SelezionaClick();
    void SpezzaClick();
    void ChiudiClick();
    // Exit and window close: asks about every modified document. False when a write failed or was cancelled:
    // the program then stays open with all its documents.
    bool closeAll();
    // The tab strip's selected tab changed (by the user).
    void LingueChange(int tab);
    // A key was released in the current document's editor: the document is marked modified when its text
    // changed since it was opened or saved.
    void keyReleased();
    // Marks the current document modified.
    void markModified();

    QString title() const;

    // A document whose text comes back from a recovery copy: added as Open adds a file, marked modified.
    void restoreDocument(const QString& fileName, Encoding encoding, const QString& text);
    // Called with a document's serial after its text changed.
    void onAnyTextChanged(std::function<void(int serial)> handler) { anyTextChanged_ = std::move(handler); }
    // Called with a document's serial when its text no longer differs from its file or it is gone: saved, or
    // closed (with No, or unmodified).
    void onDocumentSettled(std::function<void(int serial)> handler) { settled_ = std::move(handler); }

    bool empty() const { return docs_.empty(); }
    int count() const { return static_cast<int>(docs_.size()); }
    int currentIndex() const { return current_; }
    const Document& document(int i) const { return docs_.at(static_cast<std::size_t>(i)); }
    // The current document, or null when none is open.
    Document* current();
    const QString& placeholderPath() const { return placeholder_; }

    static const FileDialogOptions& openDialogOptions();
    static const FileDialogOptions& saveDialogOptions();

private:
    void appendDocument();
    // Marks the document of `editor` modified.
    void textChanged(const TextEditor& editor);
    // Writes document i to its file. A document still carrying the placeholder path is first given a name
    // through the save dialog; cancelling it fails the write. Failures other than a cancel show the error.
    bool writeDocument(int i);
    bool writeAs(int i, const QString& path);
    bool askAndSave(int i);
    // Selects and shows document i, so the user sees which text a question or dialog is about.
    void showDocument(int i);
    void focusCurrent();

    EditorHost& host_;
    Prompts& prompts_;
    FileSystem& files_;
    QString placeholder_;
    std::vector<Document> docs_;
    int current_ = 0;
    int nextSerial_ = 1;
    std::function<void(int)> anyTextChanged_;
    std::function<void(int)> settled_;
};

}  // namespace calamo
