#pragma once

namespace calamo {

// Modifier keys held when a key is released.
struct Modifiers {
    bool shift = false;
    bool alt = false;
    bool ctrl = false;
};

// Virtual-key code of a Qt key, the codes stored in calamo.cfg: letters give their upper-case ASCII code,
// digits their digit, F1..F12 0x70..0x7B, Shift 0x10, Ctrl 0x11, Alt 0x12. Keys without a code give 0.
int virtualKeyFor(int qtKey);

// Whether the editor runs its own command for Ctrl (with `shift` held or not) and the letter key `qtKey`: only
// select all, the clipboard, undo and redo. Every other Ctrl+letter is left to the user's bindings, so that
// none of the toolkit's own (such as deleting to the end of the line) edits the text behind them.
bool editorKeepsControlLetter(int qtKey, bool shift);

}  // namespace calamo
