#pragma once

#include "Config.h"

#include <QString>

namespace calamo {

class DocumentTable;
class FileSystem;
class ProgramLauncher;
class Prompts;

inline constexpr const char* kPreviewFileName = "~~temp.htm";

// Preview in browser 1 or 2: replaces `previewPath` with the current document's text, in the document's
// encoding, and starts the browser's command with the file's full path as its one argument. The document, its
// name, its file and its saved flag stay as they are. An empty command does nothing; a file that cannot be written
// or a browser that cannot be started is reported, and after a failed write no browser starts.
void previewInBrowser(DocumentTable& docs, const Config& config, int browser, const QString& previewPath,
                      FileSystem& files, ProgramLauncher& launcher, Prompts& prompts);

// "Browser esterni": asks for both browser commands (Cancel keeps a command), keeps the first 20 characters of
// each answer, and writes the configuration file, also when nothing changed. An answer holding a character
// that the single-byte file cannot hold is refused with a message and the command stays.
void askBrowserCommands(Config& config, FileSystem& files, Prompts& prompts,
                        const QString& configPath = kConfigFileName);

}  // namespace calamo
