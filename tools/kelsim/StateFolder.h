#pragma once
// The sensor's non-volatile data: eight banks and one system block, each a file in the state
// folder ("bank1.bin" to "bank8.bin", "system.bin"). A block that was never restored is made
// up on first use: a header naming it, then a pattern. Blocks are opaque to the PC, which
// stores and sends them back byte for byte.

#include <QByteArray>
#include <QString>

namespace kel::sim {

constexpr int kBankCount = 8;
constexpr int kDefaultBankSize = 1024;
constexpr int kDefaultSystemSize = 512;
constexpr int kBlockHeaderSize = 16;

class StateFolder {
public:
    explicit StateFolder(QString dir) : m_dir(std::move(dir)) {}

    QString dir() const { return m_dir; }
    // Creates the folder. False, with *error, when it cannot be made.
    bool prepare(QString* error) const;

    QByteArray bank(int number) const; // 1 to kBankCount
    QByteArray system() const;
    // False, with *error, when the file cannot be written.
    bool storeBank(int number, const QByteArray& block, QString* error) const;
    bool storeSystem(const QByteArray& block, QString* error) const;

    // The bank a block says it belongs to (1 to kBankCount), or 0 when it names none.
    static int bankNamedIn(const QByteArray& block);
    static QByteArray defaultBank(int number);
    static QByteArray defaultSystem();

private:
    QString bankFile(int number) const;
    QString systemFile() const;
    static QByteArray readOr(const QString& path, const QByteArray& fallback);
    static bool store(const QString& path, const QByteArray& block, QString* error);

    QString m_dir;
};

} // namespace kel::sim
