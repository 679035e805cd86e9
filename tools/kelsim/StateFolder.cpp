#include "StateFolder.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace kel::sim {

namespace {

const QByteArray kBankHeader = "KELSIM-BANK-";
const QByteArray kSystemHeader = "KELSIM-SYSTEM";

QByteArray madeUpBlock(const QByteArray& header, int size, int salt)
{
    QByteArray block = header.leftJustified(kBlockHeaderSize, '\0', true);
    for (int i = kBlockHeaderSize; i < size; ++i)
        block.append(static_cast<char>((i * 13 + salt * 37) & 0xFF));
    return block;
}

} // namespace

bool StateFolder::prepare(QString* error) const
{
    if (QDir().mkpath(m_dir))
        return true;
    if (error)
        *error = m_dir + QStringLiteral(": cannot create the state folder");
    return false;
}

QByteArray StateFolder::bank(int number) const
{
    return readOr(bankFile(number), defaultBank(number));
}

QByteArray StateFolder::system() const
{
    return readOr(systemFile(), defaultSystem());
}

bool StateFolder::storeBank(int number, const QByteArray& block, QString* error) const
{
    return store(bankFile(number), block, error);
}

bool StateFolder::storeSystem(const QByteArray& block, QString* error) const
{
    return store(systemFile(), block, error);
}

int StateFolder::bankNamedIn(const QByteArray& block)
{
    if (!block.startsWith(kBankHeader) || block.size() <= kBankHeader.size())
        return 0;
    const int number = block.at(kBankHeader.size()) - '0';
    return number >= 1 && number <= kBankCount ? number : 0;
}

QByteArray StateFolder::defaultBank(int number)
{
    return madeUpBlock(kBankHeader + QByteArray::number(number), kDefaultBankSize, number);
}

QByteArray StateFolder::defaultSystem()
{
    return madeUpBlock(kSystemHeader, kDefaultSystemSize, 0);
}

QString StateFolder::bankFile(int number) const
{
    return m_dir + QStringLiteral("/bank%1.bin").arg(number);
}

QString StateFolder::systemFile() const
{
    return m_dir + QStringLiteral("/system.bin");
}

QByteArray StateFolder::readOr(const QString& path, const QByteArray& fallback)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fallback;
    return file.readAll();
}

bool StateFolder::store(const QString& path, const QByteArray& block, QString* error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(block) == block.size() && file.commit())
        return true;
    if (error)
        *error = path + QStringLiteral(": ") + file.errorString();
    return false;
}

} // namespace kel::sim
