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

}  // namespace calamo
