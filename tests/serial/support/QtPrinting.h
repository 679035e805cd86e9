#pragma once
// Readable Qt values in GoogleTest failure messages.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << bytes.size() << " bytes: " << bytes.left(48).toHex(' ').toStdString()
         << (bytes.size() > 48 ? " ..." : "");
}
inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << '{';
    for (const QString& text : texts)
        *out << " \"" << text.toStdString() << '"';
    *out << " }";
}
QT_END_NAMESPACE
