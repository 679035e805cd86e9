#pragma once
// Decoding of Windows message box style numbers into what a dialog must show.

#include <QList>

namespace kel {

enum class MessageIcon { None, Critical, Question, Warning, Information };

struct MessageBoxLayout {
    QList<int> buttons; // answer codes in the order shown, left to right
    MessageIcon icon = MessageIcon::None;
    int defaultAnswer = 0; // answer code of the default button
    int escapeAnswer = 0;  // answer code of Esc / the close box; 0 when the box has none
};

// Button set (style & 0xF: 0 to 5), icon (& 0xF0: 16, 32, 48, 64) and default button
// (& 0xF00: 0, 256, 512). Unknown button sets show OK; a default beyond the last button
// falls back to the first, as the Windows box does.
MessageBoxLayout decodeMessageBoxStyle(int style);

} // namespace kel
