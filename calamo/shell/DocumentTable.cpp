#include "DocumentTable.h"

#include "FileSystem.h"
#include "Prompts.h"

#include <new>

namespace calamo {

namespace {

const QString kSkeleton = QStringLiteral("<HTML>\n"
                                         "\n"
                                         "<HEAD>\n"
                                         " <META NAME= \"generator\" content= \"!! CaLaMo !!\">\n"
                                         " <TITLE> </TITLE>\n"
                                         "</HEAD>\n"
                                         "\n"
                                         "<BODY>\n"
                                         "\n"
                                         "\n"
                                         "\n"
                                         "</BODY>\n"
                                         "\n"
                                         "</HTML>\n");

// Start of line 10 of the skeleton: the middle one of the three empty body lines.
int skeletonCaret()
{
    int line = 1;
    for (int i = 0; i < kSkeleton.size(); ++i) {
        if (kSkeleton[i] == u'\n' && ++line == 10)
            return i + 1;
    }
    return 0;
}

}  // namespace

QString generatedPageText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + u'\n';
    return text;
}

DocumentTable::DocumentTable(EditorHost& host, Prompts& prompts, FileSystem& files, QString placeholderPath)
    : host_(host),
      prompts_(prompts),
      files_(files),
      placeholder_(std::move(placeholderPath))
{}

const FileDialogOptions& DocumentTable::openDialogOptions()
{
    static const FileDialogOptions options{QStringLiteral("HTM; HTML"),
                                           {{QStringLiteral("Pagine web (*.htm, *.html)"),
                                             QStringLiteral("*.HTM; *.HTML")},
                                            {QStringLiteral("File di testo (*.txt)"), QStringLiteral("*.TXT")},
                                            {QStringLiteral("Tutti i file (*.*)"), QStringLiteral("*.*")}}};
    return options;
}

const FileDialogOptions& DocumentTable::saveDialogOptions()
{
    static const FileDialogOptions options{QStringLiteral("HTM"),
                                           {{QStringLiteral("Pagine web (*.htm)"), QStringLiteral("*.HTM")},
                                            {QStringLiteral("Pagine web (*.html)"), QStringLiteral("*.HTML")},
                                            {QStringLiteral("Tutti i file (*.*)"), QStringLiteral("*.*")}}};
    return options;
}

DocumentTable::Document* DocumentTable::current()
{
    if (docs_.empty())
        return nullptr;
    return &docs_[static_cast<std::size_t>(current_)];
}

void DocumentTable::appendDocument()
{
    Document doc;
    doc.serial = nextSerial_++;
    doc.editor = &host_.createEditor();
    // The one place every change of the text passes, whatever route made it.
    doc.editor->onTextChanged([this, editor = doc.editor] { textChanged(*editor); });
    docs_.push_back(doc);
    current_ = count() - 1;
}

void DocumentTable::textChanged(const TextEditor& editor)
{
    for (Document& doc : docs_) {
        if (doc.editor == &editor) {
            doc.saved = false;
            if (anyTextChanged_)
                anyTextChanged_(doc.serial);
        }
    }
}

void DocumentTable::restoreDocument(const QString& fileName, Encoding encoding, const QString& text)
{
    appendDocument();
    Document& doc = docs_.back();
    doc.editor->setText(text);
    doc.editor->setModified(true);
    doc.saved = false;
    doc.encoding = encoding;
    doc.fileName = fileName;
    host_.addTab(fileName);
    host_.selectTab(current_);
    host_.applyLayout();
    if (anyTextChanged_)
        anyTextChanged_(doc.serial);
}

void DocumentTable::createFirstDocument()
{
    docs_.clear();
    appendDocument();
    docs_[0].fileName = placeholder_;
    host_.addTab(placeholder_);
    host_.selectTab(0);
    host_.applyLayout();
    TextEditor& editor = *docs_[0].editor;
    editor.setText(kSkeleton);
    editor.setCaret(skeletonCaret());
}

void DocumentTable::NuovoClick()
{
    TextEditor& editor = newDocument();
    host_.setUpNewDocument(editor);
    // The page the setup dialog writes is where the new document starts from, like the first one's skeleton.
    editor.setModified(false);
    if (Document* doc = current(); doc && doc->editor == &editor)
        doc->saved = true;
}

TextEditor& DocumentTable::newDocument()
{
    appendDocument();
    Document& doc = docs_.back();
    doc.fileName = placeholder_;
    host_.addTab(doc.fileName);
    host_.selectTab(current_);
    host_.applyLayout();
    return *doc.editor;
}

void DocumentTable::ApriClick()
{
    if (const auto path = prompts_.openFileName(openDialogOptions()))
        openFile(*path);
}

bool DocumentTable::openFile(const QString& path)
{
    // Read before touching the table, so that a failure leaves every document as it was.
    ReadResult read = readDocumentFile(files_, path);
    if (!read.document) {
        prompts_.showError(read.error);
        return false;
    }
    appendDocument();
    Document& doc = docs_.back();
    doc.editor->setText(read.document->text);
    doc.encoding = read.document->encoding;
    doc.fileName = path;
    host_.addTab(path);
    host_.selectTab(current_);
    host_.applyLayout();
    return true;
}

bool DocumentTable::writeAs(int i, const QString& path)
{
    Document& doc = docs_[static_cast<std::size_t>(i)];
    EncodedText out;
    try {
        out = encodeDocument(doc.editor->text(), doc.encoding);
    } catch (const std::bad_alloc&) {
        // The document stays open and modified; closing some other one may make room.
        prompts_.showError(outOfMemoryError(path, true));
        return false;
    }
    if (const auto error = files_.writeFileAtomically(path, out.bytes, LinkPolicy::Follow)) {
        prompts_.showError(*error);
        return false;
    }
    doc.encoding = out.encoding;
    doc.saved = true;
    doc.editor->setModified(false);
    if (settled_)
        settled_(doc.serial);
    if (doc.fileName != path) {
        doc.fileName = path;
        host_.setTabCaption(i, path);
    }
    if (out.outgrewEncoding && !doc.toldEncoding) {
        doc.toldEncoding = true;
        prompts_.showMessage(
            out.encoding == Encoding::Utf8
                ? QStringLiteral("Il documento contiene caratteri che la codifica Windows-1252 non può rappresentare: "
                                 "è stato salvato in UTF-8.\r") +
                      path
                : QStringLiteral("Il documento contiene caratteri che la codifica dichiarata dalla pagina non può "
                                 "rappresentare: sono stati scritti come riferimenti numerici (&#...;).\r") +
                      path);
    }
    return true;
}

bool DocumentTable::writeDocument(int i)
{
    const Document& doc = docs_[static_cast<std::size_t>(i)];
    if (doc.fileName != placeholder_)
        return writeAs(i, doc.fileName);
    // The placeholder file is deleted when the program ends: writing there would lose the text.
    showDocument(i);
    const auto path = prompts_.saveFileName(saveDialogOptions());
    return path && writeAs(i, *path);
}

void DocumentTable::SalvaClick()
{
    if (Document* doc = current(); doc && !doc->saved)
        writeDocument(current_);
}

void DocumentTable::Speed46Click()
{
    // A failed write does not stop the others: as much as possible reaches the disk. An unnamed document is
    // shown while its name is asked; the current document is shown again at the end.
    const int previous = current_;
    for (int i = 0; i < count(); ++i) {
        if (!docs_[static_cast<std::size_t>(i)].saved)
            writeDocument(i);
    }
    if (current_ != previous)
        showDocument(previous);
}

void DocumentTable::SalvanomeClick()
{
    Document* doc = current();
    if (!doc)
        return;
    if (const auto path = prompts_.saveFileName(saveDialogOptions()))
        writeAs(current_, *path);
    else if (doc->fileName != placeholder_)
        writeAs(current_, doc->fileName);  // a cancelled dialog saves under the current name
}

void DocumentTable::StampaClick()
{
    if (Document* doc = current()) {
        if (const auto error = doc->editor->print(doc->fileName))
            prompts_.showError(*error);
    }
}

void DocumentTable::TagliaClick()
{
    if (Document* doc = current()) {
        doc->editor->cut();
        doc->saved = false;
    }
}

void DocumentTable::CopiaClick()
{
    if (Document* doc = current())
        doc->editor->copy();
}

void DocumentTable::IncollaClick()
{
    if (Document* doc = current(); doc && doc->editor->paste())
        doc->saved = false;
}

void DocumentTable::SelezionaClick()
{
    if (Document* doc = current())
        doc->editor->selectAll();
}

void DocumentTable::SpezzaClick()
{
    if (Document* doc = current())
        doc->editor->setWordWrap(!doc->editor->wordWrap());
}

bool DocumentTable::askAndSave(int i)
{
    showDocument(i);
    const Document& doc = docs_[static_cast<std::size_t>(i)];
    const QString text = QStringLiteral("Salvare le modifiche al documento\r") + doc.fileName + QStringLiteral(" ?");
    if (!prompts_.question(QStringLiteral("Calamo"), text))
        return true;  // No discards the changes
    return writeDocument(i);
}

void DocumentTable::ChiudiClick()
{
    if (docs_.empty())
        return;
    const int c = current_;
    if (!docs_[static_cast<std::size_t>(c)].saved && !askAndSave(c))
        return;
    if (settled_)
        settled_(docs_[static_cast<std::size_t>(c)].serial);

    // Texts move down one editor; the controls keep their places and their word-wrap settings.
    for (int j = c + 1; j < count(); ++j) {
        TextEditor& to = *docs_[static_cast<std::size_t>(j - 1)].editor;
        const TextEditor& from = *docs_[static_cast<std::size_t>(j)].editor;
        to.setText(from.text());
        to.setModified(from.isModified());
    }
    host_.removeTab(c);
    for (int j = c + 1; j < count(); ++j) {
        Document& to = docs_[static_cast<std::size_t>(j - 1)];
        const Document& from = docs_[static_cast<std::size_t>(j)];
        to.saved = from.saved;
        to.fileName = from.fileName;
        to.encoding = from.encoding;
        to.toldEncoding = from.toldEncoding;
        to.serial = from.serial;
    }
    if (host_.tabCount() == c) {
        host_.selectTab(c - 1);
        if (c > 0)
            LingueChange(c - 1);
    } else {
        host_.selectTab(c);
    }
    TextEditor* last = docs_.back().editor;
    last->setShown(false);
    docs_.pop_back();
    host_.destroyEditor(*last);
    focusCurrent();
}

void DocumentTable::showDocument(int i)
{
    if (i == current_)
        return;
    host_.selectTab(i);
    LingueChange(i);
}

void DocumentTable::focusCurrent()
{
    if (Document* doc = current())
        doc->editor->takeFocus();
}

bool DocumentTable::closeAll()
{
    for (int i = 0; i < count(); ++i) {
        if (!docs_[static_cast<std::size_t>(i)].saved && !askAndSave(i))
            return false;
    }
    return true;
}

void DocumentTable::LingueChange(int tab)
{
    if (docs_.empty() || tab < 0 || tab >= count())
        return;
    for (Document& doc : docs_)
        doc.editor->setShown(false);
    docs_[static_cast<std::size_t>(tab)].editor->setShown(true);
    current_ = tab;
    focusCurrent();
}

void DocumentTable::keyReleased()
{
    if (Document* doc = current(); doc && doc->editor->isModified())
        doc->saved = false;
}

void DocumentTable::markModified()
{
    if (Document* doc = current())
        doc->saved = false;
}

QString DocumentTable::title() const
{
    if (host_.tabCount() == 0 || docs_.empty())
        return QStringLiteral("Calamo   -   [Nessun documento aperto]");
    const Document& doc = docs_[static_cast<std::size_t>(current_)];
    return QStringLiteral("Calamo   -   [") + doc.fileName + (doc.saved ? QString() : QStringLiteral("*")) +
           QStringLiteral("]");
}

}  // namespace calamo
