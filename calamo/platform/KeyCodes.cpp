#include "KeyCodes.h"

#include <Qt>

#include <array>
#include <utility>

namespace calamo {

namespace {

// Punctuation keys by the character they type, unshifted and shifted on a US keyboard, to the code of the key.
constexpr std::array<std::pair<int, int>, 42> kPunctuation = {{
    {Qt::Key_Semicolon, 0xBA},  {Qt::Key_Colon, 0xBA},      {Qt::Key_Equal, 0xBB},        {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC},      {Qt::Key_Less, 0xBC},       {Qt::Key_Minus, 0xBD},        {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE},     {Qt::Key_Greater, 0xBE},    {Qt::Key_Slash, 0xBF},        {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0},  {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BracketLeft, 0xDB},  {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},  {Qt::Key_Bar, 0xDC},        {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE}, {Qt::Key_QuoteDbl, 0xDE},   {Qt::Key_Exclam, '1'},        {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},  {Qt::Key_Dollar, '4'},      {Qt::Key_Percent, '5'},       {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},   {Qt::Key_Asterisk, '8'},    {Qt::Key_ParenLeft, '9'},     {Qt::Key_ParenRight, '0'},
    {Qt::Key_Backspace, 0x08},  {Qt::Key_Tab, 0x09},        {Qt::Key_Backtab, 0x09},      {Qt::Key_Pause, 0x13},
    {Qt::Key_CapsLock, 0x14},   {Qt::Key_Print, 0x2C},      {Qt::Key_Insert, 0x2D},       {Qt::Key_Delete, 0x2E},
    {Qt::Key_Meta, 0x5B},       {Qt::Key_Menu, 0x5D},
}};

}  // namespace

int virtualKeyFor(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) ||
        qtKey == Qt::Key_Space)
        return qtKey;  // Qt uses the ASCII codes here, as the virtual keys do
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return 0x70 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Shift:
        return 0x10;
    case Qt::Key_Control:
        return 0x11;
    case Qt::Key_Alt:
        return 0x12;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    default:
        break;
    }
    for (const auto& [key, code] : kPunctuation) {
        if (key == qtKey)
            return code;
    }
    return 0;
}

bool editorKeepsControlLetter(int qtKey, bool shift)
{
    switch (qtKey) {
    case Qt::Key_A:  // select all
    case Qt::Key_C:  // copy
    case Qt::Key_V:  // paste
    case Qt::Key_X:  // cut
    case Qt::Key_Z:  // undo, and redo with Shift
        return true;
    case Qt::Key_Y:  // redo
        return !shift;
    default:
        return false;
    }
}

}  // namespace calamo
