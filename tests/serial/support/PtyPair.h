#pragma once
// Two pseudo-terminals joined by socat, for tests against real terminal devices: what is
// written on one arrives on the other, unpaced.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <functional>

namespace kel::test {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // False when socat is missing or did not create the links; error() says why.
    bool ready() const { return m_ready; }
    QString error() const { return m_error; }

    QString first() const { return m_dir.filePath(QStringLiteral("ptyA")); }
    QString second() const { return m_dir.filePath(QStringLiteral("ptyB")); }
    // A scratch folder that lives as long as the pair.
    QString folder() const { return m_dir.path(); }
    QString file(const char* name) const
    {
        return folder() + QLatin1Char('/') + QLatin1String(name);
    }
    // Writes a file of the scratch folder (a test failure when it cannot).
    void writeFile(const char* name, const QByteArray& data) const;
    // A file of the scratch folder, or "(missing)".
    QByteArray readFile(const char* name) const;

private:
    QTemporaryDir m_dir;
    QProcess m_socat;
    bool m_ready = false;
    QString m_error;
};

// One end of a pair opened as a plain raw terminal, independent of the port layer under test.
class RawTerminal {
public:
    explicit RawTerminal(const QString& path);
    ~RawTerminal();
    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Reads up to and including the byte end; what came when timeoutMs passed without it.
    QByteArray readUntil(char end, int timeoutMs = 10000);
    // Reads count bytes; fewer when timeoutMs passed first.
    QByteArray readBytes(qsizetype count, int timeoutMs = 10000);
    void write(const QByteArray& bytes);

private:
    QByteArray readWhile(const std::function<bool(const QByteArray&)>& wantMore, int timeoutMs);

    int m_fd;
};

// Runs program with arguments and waits up to timeoutMs; its exit code, or -1 when it could
// not start, crashed or did not end in time (it is killed then).
int runProcess(QProcess& process, int timeoutMs);

} // namespace kel::test
