#include "core/Cp932.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QStringDecoder>
#include <QStringEncoder>
#endif

namespace kel::profile {

#ifdef Q_OS_WIN

namespace {
constexpr UINT kCp932 = 932;
}

QString decodeCp932(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    const int size =
        MultiByteToWideChar(kCp932, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    std::wstring text(size_t(size), L'\0');
    MultiByteToWideChar(kCp932, 0, bytes.constData(), int(bytes.size()), text.data(), size);
    return QString::fromStdWString(text);
}

std::optional<QByteArray> encodeCp932Exactly(QStringView text)
{
    if (text.isEmpty())
        return QByteArray();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    // No "best fit" stand-ins (an unaccented letter for an accented one): a character CP932
    // lacks is reported.
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide, int(text.size()),
                                         nullptr, 0, nullptr, &usedDefault);
    QByteArray bytes(size, '\0');
    WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), bytes.data(), size,
                        nullptr, &usedDefault);
    if (usedDefault || size == 0)
        return std::nullopt;
    return bytes;
}

#else

namespace {
// ICU's name for CP932 ('\\' at 0x5C).
constexpr char kCp932[] = "windows-31j";
} // namespace

QString decodeCp932(const QByteArray& bytes)
{
    QStringDecoder cp932(kCp932, QStringConverter::Flag::Stateless);
    return cp932(bytes);
}

std::optional<QByteArray> encodeCp932Exactly(QStringView text)
{
    QStringEncoder encoder(kCp932, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

#endif

} // namespace kel::profile
