#pragma once

#include <QString>

namespace calamo {

// Folder for the program's temporary files, with a final "/": the executable's folder, or the user's data
// folder for the program when the executable's folder is not writable (an installed program).
QString programDirectory();

}  // namespace calamo
