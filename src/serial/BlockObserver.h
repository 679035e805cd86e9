#pragma once
// Something that follows a receive block by block, such as a picture that builds up while the
// image arrives. The receiver calls it for every accepted block once the block is written at
// its place and acknowledged, so the sender is already busy with the next block meanwhile; it
// runs on the transfer's thread between two waits and must return quickly.

#include <QByteArrayView>
#include <QtGlobal>

namespace kel::serial {

class BlockObserver {
public:
    virtual ~BlockObserver() = default;
    // data was written at offset (counted from 0) of the file being received. A fall-back to
    // checksum blocks starts again at offset 0.
    virtual void blockAccepted(qint64 offset, QByteArrayView data) = 0;
};

} // namespace kel::serial
