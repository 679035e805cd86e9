#pragma once
// The picture shown while there is no image: the product's mark with "no image" written in the
// window's language on the line the picture keeps free for it.

#include <QPixmap>
#include <QString>

namespace kel {

QPixmap startPicture(const QString& note);

} // namespace kel
