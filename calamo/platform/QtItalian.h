#pragma once

class QCoreApplication;

namespace calamo {

// Makes Qt's own dialogs and buttons (file dialogs, Yes/No, colour picker, context menus) speak Italian,
// whatever the user's locale, since every text of the editor itself is Italian. Returns false, leaving Qt
// in English, when Qt's Italian catalogue is not installed.
bool installQtItalian(QCoreApplication& app);

}  // namespace calamo
