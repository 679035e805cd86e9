#pragma once
// A line shortened to fit its room the way an operator can still read it: figures stay whole,
// a path loses its middle folders first, then whole words go from the middle, each run of them
// shown as one "…". Nothing is cut inside a word or a number.

#include <QString>
#include <functional>

namespace kel {

// text itself when fits(text); otherwise the longest shortening described above that fits,
// or, when even the figures alone do not fit, the figures and whatever words are left.
QString shortenBetweenWords(const QString& text, const std::function<bool(const QString&)>& fits);

} // namespace kel
