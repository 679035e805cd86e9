#include "SensorModel.h"

#include <QRegularExpression>

namespace kel::sim {

namespace {

const QByteArray kOk = "OK";
const QByteArray kEr = "ER";

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
    if (line == QLatin1String("IMGSAVE 0"))
        return sending(m_images.colourFile());
    if (line == QLatin1String("IMGSAVE 1"))
        return sending(m_images.greyFile());
    if (line == QLatin1String("IMGLOAD"))
        return receiving(ReceiveTarget::Image);
    if (line == QLatin1String("BANKLOAD"))
        return receiving(ReceiveTarget::Bank);
    if (line == QLatin1String("SYSSAVE"))
        return sending(m_state.system());
    if (line == QLatin1String("SYSLOAD"))
        return receiving(ReceiveTarget::System);
    if (line == QLatin1String("M") || line == QLatin1String("M /I")) {
        m_measurement.measureOnce();
        return reply(kOk);
    }
    if (line == QLatin1String("M /C")) {
        m_measurement.startContinuous();
        return reply(kOk);
    }
    if (line == QLatin1String("M /E")) {
        m_measurement.endContinuous();
        return reply(kOk);
    }
    if (line == QLatin1String("DATAGET 2 0"))
        return reply(m_measurement.resultCode());
    if (line == QLatin1String("DATAGET 2 1"))
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
    case 0:
        return reply(QByteArray::number(m_info.phase));
    case 1:
    case 2:
    case 3:
        return reply(QByteArray::number(m_info.gains[index - 1]));
    default:
        return reply(QByteArray::number(m_info.sizeCode));
    }
}

} // namespace kel::sim
