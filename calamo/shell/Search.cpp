#include "Search.h"

#include "Prompts.h"
#include "TextEditor.h"

namespace calamo {

int findText(QStringView text, QStringView needle, int from)
{
    if (needle.isEmpty() || from < 0 || from > text.size())
        return -1;
    return static_cast<int>(text.indexOf(needle, from, Qt::CaseInsensitive));
}

std::vector<int> occurrences(QStringView text, QStringView needle)
{
    std::vector<int> found;
    for (int p = findText(text, needle, 0); p >= 0; p = findText(text, needle, p + static_cast<int>(needle.size())))
        found.push_back(p);
    return found;
}

bool findAndSelect(TextEditor& editor, const QString& needle, int from, Prompts& prompts)
{
    const int p = findText(editor.text(), needle, from);
    if (p < 0) {
        prompts.showWarning(kNotFound);
        editor.takeFocus();
        return false;
    }
    editor.select(p, static_cast<int>(needle.size()));
    editor.takeFocus();
    return true;
}

int replaceAll(TextEditor& editor, const QString& needle, const QString& replacement)
{
    const std::vector<int> found = occurrences(editor.text(), needle);
    editor.takeFocus();
    if (found.empty())
        return 0;
    editor.beginEdit();
    // From the end, so that the offsets before each replaced span stay valid.
    for (auto it = found.rbegin(); it != found.rend(); ++it)
        editor.replaceText(*it, static_cast<int>(needle.size()), replacement);
    editor.setCaret(0);
    editor.endEdit();
    return static_cast<int>(found.size());
}

}  // namespace calamo
