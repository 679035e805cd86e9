#include "dialogs/ComPortList.h"

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace kel {

namespace {

constexpr int kHighestComPort = 256;

#ifdef Q_OS_WIN

QList<SystemComPort> registryComPorts()
{
    QList<SystemComPort> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return ports;
    DWORD count = 0, longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &longestName, &longestData, nullptr, nullptr) == ERROR_SUCCESS) {
        std::wstring name(longestName + 1, L'\0');
        std::wstring data(longestData / sizeof(wchar_t) + 1, L'\0');
        for (DWORD i = 0; i < count; ++i) {
            DWORD nameLength = DWORD(name.size());
            DWORD dataBytes = DWORD(data.size() * sizeof(wchar_t));
            DWORD type = 0;
            if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &dataBytes) != ERROR_SUCCESS ||
                type != REG_SZ)
                continue;
            // The stored text may or may not end in a NUL.
            const QString port =
                QString::fromWCharArray(data.data(), qsizetype(dataBytes / sizeof(wchar_t)))
                    .section(QChar(0), 0, 0);
            const int number = comPortNumber(port);
            if (number > 0)
                ports.append({number, QString::fromWCharArray(name.data(), nameLength)});
        }
    }
    RegCloseKey(key);
    return ports;
}

#endif

} // namespace

int comPortNumber(const QString& name)
{
    if (!name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return 0;
    const QStringView digits = QStringView(name).mid(3);
    const bool plain =
        !digits.isEmpty() && digits.front() != u'0' &&
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const int number = plain && digits.size() <= 3 ? digits.toInt() : 0;
    return number <= kHighestComPort ? number : 0;
}

QList<SystemComPort> systemComPorts()
{
#ifdef Q_OS_WIN
    QList<SystemComPort> ports = registryComPorts();
    std::sort(ports.begin(), ports.end(),
              [](const SystemComPort& a, const SystemComPort& b) { return a.number < b.number; });
    return ports;
#else
    return {};
#endif
}

} // namespace kel
