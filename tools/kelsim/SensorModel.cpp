#include "SensorModel.h"

#include "sensor/SensorProtocol.h"

#include <QRegularExpression>

namespace kel::sim {

namespace {

const QByteArray kOk = sensor::kReplyOk.toLatin1();
const QByteArray kEr = sensor::kReplyError.toLatin1();

Response reply(const QByteArray& text)
{
    return {text, Transfer::None, {}, ReceiveTarget::Image};
}

Response sending(const QByteArray& file)
{
    return {kOk, Transfer::SendToPc, file, ReceiveTarget::Image};
}

Response receiving(ReceiveTarget target)
{
    return {kOk, Transfer::ReceiveFromPc, {}, target};
}

} // namespace

SensorModel::SensorModel(const ImageInfo& info, const StateFolder& state,
                         std::function<qint64()> nowMs)
    : m_info(info), m_state(state), m_images(info), m_measurement(std::move(nowMs))
{
}

Response SensorModel::handle(const QString& line)
{
    static const QRegularExpression imageInfoLine(QStringLiteral("^IMGINFO 0 ([0-4])$"));
    static const QRegularExpression bankSaveLine(QStringLiteral("^BANKSAVE ([1-8])$"));

    if (const auto match = imageInfoLine.match(line); match.hasMatch())
        return imageInfo(match.captured(1).toInt());
    if (const auto match = bankSaveLine.match(line); match.hasMatch()) {
        m_lastBank = match.captured(1).toInt();
        return sending(m_state.bank(m_lastBank));
    }
    if (line == sensor::kImageSaveColour)
        return sending(m_images.colourFile());
    if (line == sensor::kImageSaveGrey)
        return sending(m_images.greyFile());
    if (line == sensor::kImageLoad)
        return receiving(ReceiveTarget::Image);
    if (line == sensor::kBankLoad)
        return receiving(ReceiveTarget::Bank);
    if (line == sensor::kSystemSave)
        return sending(m_state.system());
    if (line == sensor::kSystemLoad)
        return receiving(ReceiveTarget::System);
    if (line == sensor::kMeasure || line == sensor::kMeasureOther) {
        m_measurement.measureOnce();
        return reply(kOk);
    }
    if (line == sensor::kMeasureContinuous) {
        m_measurement.startContinuous();
        return reply(kOk);
    }
    if (line == sensor::kMeasureEnd) {
        m_measurement.endContinuous();
        return reply(kOk);
    }
    if (line == sensor::kResultCode)
        return reply(m_measurement.resultCode());
    if (line == sensor::kResultValue)
        return reply(m_measurement.value());
    return reply(kEr);
}

bool SensorModel::accept(ReceiveTarget target, const QByteArray& file, QString* error)
{
    switch (target) {
    case ReceiveTarget::Image:
        m_images.holdUpload(file);
        return true;
    case ReceiveTarget::Bank: {
        const int named = StateFolder::bankNamedIn(file);
        return m_state.storeBank(named ? named : m_lastBank, file, error);
    }
    case ReceiveTarget::System:
        return m_state.storeSystem(file, error);
    }
    return false;
}

Response SensorModel::imageInfo(int index) const
{
    switch (index) {
    case sensor::InfoArrangement:
        return reply(QByteArray::number(m_info.phase));
    case sensor::InfoGainRed:
    case sensor::InfoGainGreen:
    case sensor::InfoGainBlue:
        return reply(QByteArray::number(m_info.gains[index - sensor::InfoGainRed]));
    default:
        return reply(QByteArray::number(m_info.sizeCode));
    }
}

} // namespace kel::sim
