#include "Preview.h"

#include "DocumentTable.h"
#include "FileSystem.h"
#include "ProgramLauncher.h"
#include "Prompts.h"
#include "TextCodec.h"

#include <QFileInfo>

namespace calamo {

void previewInBrowser(DocumentTable& docs, const Config& config, int browser, const QString& previewPath,
                      FileSystem& files, ProgramLauncher& launcher, Prompts& prompts)
{
    const DocumentTable::Document* doc = docs.current();
    const std::string& stored = config.BrowserCommands.at(static_cast<std::size_t>(browser - 1));
    const QString command = fromWindows1252(QByteArray::fromStdString(stored)).trimmed();
    if (!doc || command.isEmpty())
        return;
    const QString path = QFileInfo(previewPath).absoluteFilePath();
    // Written as Save would write it, so the browser reads the characters the page will hold. A link placed at
    // the preview's path is replaced, never written through.
    if (const auto error = files.writeFileAtomically(path, encodeDocument(doc->editor->text(), doc->encoding).bytes,
                                                     LinkPolicy::Replace)) {
        prompts.showError(*error);
        return;
    }
    if (const auto error = launcher.startDetached(command, {path}))
        prompts.showError(QStringLiteral("Impossibile avviare il browser \"%1\": %2").arg(command, *error));
}

void askBrowserCommands(Config& config, FileSystem& files, Prompts& prompts, const QString& configPath)
{
    for (int k = 1; k <= 2; ++k) {
        std::string& command = config.BrowserCommands[static_cast<std::size_t>(k - 1)];
        const QString current = fromWindows1252(QByteArray::fromStdString(command));
        const QString answer = prompts
                                   .inputBox(QStringLiteral("Comando browser %1").arg(k),
                                             QStringLiteral("Prego immetti il comando."), current)
                                   .left(static_cast<qsizetype>(Config::kBrowserLength));
        std::string bytes;
        bool fits = true;
        for (QChar c : answer) {
            const std::optional<char> byte = toWindows1252(c.unicode());
            fits = fits && byte.has_value();
            bytes += byte.value_or('?');
        }
        if (!fits) {
            prompts.showError(QStringLiteral("Il comando \"%1\" contiene caratteri che il file di configurazione "
                                             "non può contenere: resta \"%2\".")
                                  .arg(answer, current));
            continue;
        }
        command = bytes;
    }
    if (const auto error = ScriviCfg(files, config, configPath))
        prompts.showError(*error);
}

}  // namespace calamo
