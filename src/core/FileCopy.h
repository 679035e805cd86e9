#pragma once
// Copying a file over another one.

#include <QString>

namespace kel {

// Copies source to target, replacing a file of that name. The new contents take the target's
// place only once they are complete, so a failed copy leaves an existing target as it was.
// Copying a file onto itself does nothing. False with a description in *failure.
bool replaceWithCopy(const QString& source, const QString& target, QString* failure);

} // namespace kel
