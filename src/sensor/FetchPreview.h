#pragma once
// The picture of a fetch while it arrives: follows the receive block by block, and after each
// completed band of rows hands the picture converted so far to whoever shows it, at most a
// few times a second on the link's clock. Copying a block costs next to nothing; the
// conversion runs only for the new rows and only when a picture is handed on, so the
// transfer keeps the line's pace.

#include "image/PartialPicture.h"
#include "serial/BlockObserver.h"
#include "serial/Clock.h"

#include <functional>
#include <optional>

namespace kel::sensor {

class FetchPreview : public serial::BlockObserver {
public:
    static constexpr int kBandRows = 4;           // rows that make one step of the picture
    static constexpr quint32 kMinimumGapMs = 250; // between two pictures handed on

    // shown gets the picture whenever rows were added to it.
    FetchPreview(const SensorImage& header, ImageKind kind, serial::Clock& clock,
                 std::function<void(const PartialPicture&)> shown);

    void blockAccepted(qint64 offset, QByteArrayView data) override;

    const PartialPicture& picture() const { return m_picture; }
    // How many times a picture was handed on.
    int updates() const { return m_updates; }

private:
    PartialPicture m_picture;
    serial::Clock& m_clock;
    std::function<void(const PartialPicture&)> m_shown;
    std::optional<quint32> m_lastShownMs;
    int m_updates = 0;
};

} // namespace kel::sensor
