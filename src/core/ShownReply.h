#pragma once
// A reply of the sensor as a message shows it: the line may carry any byte, and a line that
// never stops talking sends hundreds of them, so what cannot be printed is shown escaped and a
// long reply is cut, with its length.

#include <QString>

namespace kel {

class AppCore;

// The most characters of a reply a message shows.
constexpr qsizetype kShownReplyLength = 64;

// reply (one character a byte, as the line gives it) with \\, \r, \n, \t and \xHH for every
// other byte below 0x20 or above 0x7E; when longer than kShownReplyLength, its start followed
// by cutNote with %1 the reply's length in bytes.
QString escapedReply(const QString& reply, const QString& cutNote);

// The same, the note worded by text 68 of section "Label" in core's language.
QString shownReply(const AppCore& core, const QString& reply);

} // namespace kel
