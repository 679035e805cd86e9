#include "serial/WinBytePort.h"
#include "serial/DeviceNames.h"

#include <windows.h>

#include <cmath>
#include <utility>

namespace kel::serial {

namespace {

// Taken from the driver per read call; more is taken by the next call.
constexpr DWORD kReadChunk = 4096;
// A write that has not left the driver this long after its last byte was due is a failure:
// with flow control off nothing but a broken device holds output back.
constexpr DWORD kWriteGraceMs = 2000;

HANDLE handleOf(void* handle)
{
    return static_cast<HANDLE>(handle);
}

QString systemMessage(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message = length ? QString::fromWCharArray(text, length).trimmed()
                             : QStringLiteral("Windows error %1").arg(code);
    LocalFree(text);
    return message;
}

BYTE parityOf(Parity parity)
{
    switch (parity) {
    case Parity::Odd:
        return ODDPARITY;
    case Parity::Even:
        return EVENPARITY;
    case Parity::Mark:
        return MARKPARITY;
    case Parity::Space:
        return SPACEPARITY;
    case Parity::None:
        break;
    }
    return NOPARITY;
}

BYTE stopBitsOf(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::OneAndHalf:
        return ONE5STOPBITS;
    case StopBits::Two:
        return TWOSTOPBITS;
    case StopBits::One:
        break;
    }
    return ONESTOPBIT;
}

// ReadFile returns at once with what the driver holds (waitMs 0), or waits up to waitMs for
// the first byte and returns as soon as one arrives.
COMMTIMEOUTS timeoutsFor(DWORD waitMs, DWORD writeTimeoutMultiplier)
{
    COMMTIMEOUTS timeouts = {};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = waitMs ? MAXDWORD : 0;
    timeouts.ReadTotalTimeoutConstant = waitMs;
    timeouts.WriteTotalTimeoutMultiplier = writeTimeoutMultiplier;
    timeouts.WriteTotalTimeoutConstant = kWriteGraceMs;
    return timeouts;
}

} // namespace

WinBytePort::~WinBytePort()
{
    close();
}

void WinBytePort::setWarningHandler(std::function<void(const QString&)> handler)
{
    m_warn = std::move(handler);
}

bool WinBytePort::open(const PortOptions& options, QString* error)
{
    if (m_handle) {
        *error = QStringLiteral("The port is already open");
        return false;
    }
    if (options.device.isEmpty()) {
        *error = QStringLiteral("No device for this port number");
        return false;
    }
    const std::wstring path = win32DevicePath(options.device).toStdWString();
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = QStringLiteral("%1: %2").arg(options.device, systemMessage(GetLastError()));
        return false;
    }
    m_handle = handle;
    m_device = options.device;
    if (!configure(options, error)) {
        close();
        return false;
    }
    return true;
}

bool WinBytePort::configure(const PortOptions& options, QString* error)
{
    const auto refused = [&](const char* what) {
        *error = QStringLiteral("%1: %2: %3")
                     .arg(m_device, QLatin1String(what), systemMessage(GetLastError()));
        return false;
    };
    HANDLE handle = handleOf(m_handle);
    const LineSettings& line = options.line;

    DCB dcb = {};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(handle, &dcb))
        return refused("line settings");
    dcb.BaudRate = static_cast<DWORD>(line.baudRate);
    dcb.ByteSize = static_cast<BYTE>(line.dataBits);
    dcb.Parity = parityOf(line.parity);
    dcb.StopBits = stopBitsOf(line.stopBits);
    dcb.fBinary = TRUE;
    dcb.fParity = line.parity != Parity::None;
    // No flow control of any kind; RTS stays raised as a terminal's open leaves it.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    // DTR is driven below on its own, where a refusal can be told apart.
    dcb.fDtrControl = options.dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    if (!SetCommState(handle, &dcb))
        return refused("line settings");

    const double characterMs = characterTimeMs(line);
    m_writeMsPerByte = static_cast<unsigned long>(std::ceil(2 * characterMs));
    m_waitMs = 0;
    COMMTIMEOUTS timeouts = timeoutsFor(0, m_writeMsPerByte);
    if (!SetCommTimeouts(handle, &timeouts))
        return refused("time-outs");
    if (!PurgeComm(handle, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR))
        return refused("clearing the buffers");
    m_input.clear();

    SetLastError(ERROR_SUCCESS);
    if (!EscapeCommFunction(handle, options.dtr ? SETDTR : CLRDTR) && m_warn && !m_dtrWarned) {
        m_dtrWarned = true;
        const DWORD code = GetLastError();
        const QString reason =
            code == ERROR_SUCCESS ? QString() : QStringLiteral(" (%1)").arg(systemMessage(code));
        m_warn(
            QStringLiteral("%1 refused DTR control%2; going on without it").arg(m_device, reason));
    }
    return true;
}

void WinBytePort::close()
{
    if (m_handle)
        CloseHandle(handleOf(m_handle));
    m_handle = nullptr;
    m_input.clear();
}

bool WinBytePort::isOpen() const
{
    return m_handle != nullptr;
}

void WinBytePort::requireOpen() const
{
    if (!m_handle)
        throw PortError(QStringLiteral("The port is not open"));
}

// A call on an open port failed: the device is gone (unplugged) or broken. The port stays
// open until closed, as the caller expects, but every further call fails too.
void WinBytePort::fail(const char* what)
{
    throw PortError(QStringLiteral("%1: %2: %3")
                        .arg(m_device, QLatin1String(what), systemMessage(GetLastError())));
}

void WinBytePort::readFromDriver(unsigned long count, unsigned long waitMs)
{
    HANDLE handle = handleOf(m_handle);
    if (waitMs != m_waitMs) {
        COMMTIMEOUTS timeouts = timeoutsFor(waitMs, m_writeMsPerByte);
        if (!SetCommTimeouts(handle, &timeouts))
            fail("time-outs");
        m_waitMs = waitMs;
    }
    const qsizetype before = m_input.size();
    m_input.resize(before + count);
    DWORD got = 0;
    const BOOL ok = ReadFile(handle, m_input.data() + before, count, &got, nullptr);
    m_input.resize(before + (ok ? qsizetype(got) : 0));
    if (!ok)
        fail("read");
}

// Moves what the driver holds into the port's buffer without waiting: kInputLimit at most per
// call, so that a line that never stops talking cannot hold the caller, and the newest
// kInputLimit bytes are kept.
void WinBytePort::takeArrivedInput()
{
    requireOpen();
    qsizetype before = 0;
    qint64 taken = 0;
    do {
        before = m_input.size();
        readFromDriver(kReadChunk, 0);
        taken += m_input.size() - before;
    } while (m_input.size() - before == qsizetype(kReadChunk) && taken < kInputLimit);
    keepWithinInputLimit(m_input);
}

qint64 WinBytePort::bytesAvailable()
{
    takeArrivedInput();
    return m_input.size();
}

void WinBytePort::discardInput()
{
    requireOpen();
    if (!PurgeComm(handleOf(m_handle), PURGE_RXCLEAR))
        fail("clearing the input");
    m_input.clear();
}

QByteArray WinBytePort::readAll()
{
    takeArrivedInput();
    return std::exchange(m_input, {});
}

QByteArray WinBytePort::read(qint64 count)
{
    takeArrivedInput();
    const QByteArray head = m_input.left(count);
    m_input.remove(0, head.size());
    return head;
}

void WinBytePort::write(const QByteArray& bytes)
{
    requireOpen();
    DWORD written = 0;
    if (!WriteFile(handleOf(m_handle), bytes.constData(), static_cast<DWORD>(bytes.size()),
                   &written, nullptr))
        fail("write");
    if (written != static_cast<DWORD>(bytes.size()))
        throw PortError(QStringLiteral("%1: write: the device took %2 of %3 bytes")
                            .arg(m_device)
                            .arg(written)
                            .arg(bytes.size()));
}

void WinBytePort::waitForMoreInput(int ms)
{
    const qsizetype buffered = m_input.size();
    takeArrivedInput();
    if (ms <= 0 || m_input.size() != buffered)
        return;
    // One byte: a read for more waits out its whole time under some drivers (Wine's) even
    // when bytes arrive. The rest is taken at once after it.
    readFromDriver(1, static_cast<unsigned long>(ms));
    if (m_input.size() != buffered)
        takeArrivedInput();
}

} // namespace kel::serial
