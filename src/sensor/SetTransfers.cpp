#include "sensor/SetTransfers.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kel::sensor {

namespace {

bool sameBytes(const QString& a, const QString& b)
{
    QFile first(a);
    QFile second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly) ||
        first.size() != second.size())
        return false;
    constexpr qint64 kChunk = 64 * 1024;
    while (!first.atEnd()) {
        if (first.read(kChunk) != second.read(kChunk))
            return false;
    }
    return true;
}

} // namespace

Manifest setHeader(const QString& program, const QString& device, const QString& image)
{
    Manifest header;
    header.date = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    header.program = program;
    header.device = device;
    header.image = image;
    return header;
}

BlockEnd receiveSet(BackupSetWriter& writer, const BlockTransfer& receive, QString* fileError)
{
    for (const SetBlock& block : setBlocks()) {
        BlockEnd end = receive(block, writer.receivePath(block));
        if (end == BlockEnd::Done && !writer.received(block)) {
            *fileError = writer.error();
            end = BlockEnd::Failed;
        }
        if (end != BlockEnd::Done) {
            writer.failed(block);
            return end;
        }
    }
    return BlockEnd::Done;
}

BlockEnd sendSet(const QString& folder, const BlockTransfer& send, std::optional<SetBlock>* failed)
{
    for (const SetBlock& block : setBlocks()) {
        const BlockEnd end = send(block, QDir(folder).filePath(block.fileName));
        if (end != BlockEnd::Done) {
            if (failed)
                *failed = block;
            return end;
        }
    }
    return BlockEnd::Done;
}

bool compareSet(const QString& folder, const BlockTransfer& receive, const ComparisonReport& report,
                QString* error)
{
    QTemporaryDir readBack;
    if (!readBack.isValid()) {
        *error = readBack.errorString();
        return false;
    }
    for (const SetBlock& block : setBlocks()) {
        const QString path = readBack.filePath(block.fileName);
        const BlockEnd end = receive(block, path);
        if (end != BlockEnd::Done) {
            report(block, BlockComparison::Failed);
            if (end == BlockEnd::Stopped)
                break;
            continue;
        }
        const bool same = sameBytes(QDir(folder).filePath(block.fileName), path);
        report(block, same ? BlockComparison::Same : BlockComparison::Different);
    }
    return true;
}

} // namespace kel::sensor
