#pragma once
// The transfers of a whole-sensor set seen as one: the bytes of the blocks finished and of the
// one under way, the set's total when it is known, its rate and the time it still needs.

#include "serial/TransferRate.h"
#include "serial/TransferView.h"

namespace kel::sensor {

class SetProgress {
public:
    // transfers: how many the set makes; totalBytes: what they move together, -1 when it is not
    // known beforehand (a backup: the sensor tells a block's size only by sending it).
    SetProgress(int transfers, qint64 totalBytes);

    // A transfer of the set has ended, having moved bytes.
    void transferDone(qint64 bytes);
    int transfersDone() const { return m_transfersDone; }
    int transfers() const { return m_transfers; }
    qint64 bytesDone() const { return m_bytesDone; } // of the finished transfers

    // The whole set's figures, given the running transfer's at nowMs of the line's clock.
    // Without a known total, the time left assumes the blocks still to come are as large as the
    // finished ones were on average.
    serial::TransferFigures figures(const serial::TransferFigures& running, quint32 nowMs);

private:
    int m_transfers;
    qint64 m_total;
    int m_transfersDone = 0;
    qint64 m_bytesDone = 0;
    serial::TransferRate m_rate;
};

} // namespace kel::sensor
