#pragma once
// The sensor's answers to the command vocabulary, apart from the line: one command line in,
// one reply and possibly a file to send or to take. No timing, no bytes on a line.

#include "Measurement.h"
#include "SensorImages.h"
#include "SimOptions.h"
#include "StateFolder.h"

#include <QByteArray>
#include <QString>

namespace kel::sim {

enum class Transfer { None, SendToPc, ReceiveFromPc };
enum class ReceiveTarget { Image, Bank, System };

struct Response {
    QByteArray reply; // without the delimiter
    Transfer transfer = Transfer::None;
    QByteArray payload;                          // the file to send
    ReceiveTarget target = ReceiveTarget::Image; // where a received file goes
};

class SensorModel {
public:
    SensorModel(const ImageInfo& info, const StateFolder& state, std::function<qint64()> nowMs);

    // The answer to one command line (the delimiter removed). Unknown lines get "ER".
    Response handle(const QString& line);

    // A file the PC sent after target's command. A bank goes to the bank its block names,
    // else to the bank of the last backup (bank 1 before any). False, with *error, when the
    // state folder cannot take it.
    bool accept(ReceiveTarget target, const QByteArray& file, QString* error);

    const SensorImages& images() const { return m_images; }
    Measurement& measurement() { return m_measurement; }

private:
    Response imageInfo(int index) const;

    ImageInfo m_info;
    const StateFolder& m_state;
    SensorImages m_images;
    Measurement m_measurement;
    int m_lastBank = 1;
};

} // namespace kel::sim
