#pragma once

class QCoreApplication;

namespace travaso {

// Makes Qt's own dialogs and buttons (message boxes, context menus) speak Italian, whatever the user's
// locale, since every text of the copier itself is Italian. Returns false, leaving Qt in English, when
// Qt's Italian catalogue is not installed.
bool InstallQtItalian(QCoreApplication& app);

}  // namespace travaso
