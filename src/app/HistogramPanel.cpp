#include "app/HistogramPanel.h"
#include "core/AppCore.h"
#include "core/MessageNumbers.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocumentFragment>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace kel {

namespace {

QColor colourOf(Channel channel)
{
    switch (channel) {
    case Channel::Red:
        return QColor(220, 40, 40);
    case Channel::Green:
        return QColor(30, 160, 30);
    case Channel::Blue:
        return QColor(40, 70, 230);
    case Channel::Grey:
        break;
    }
    return QColor(60, 60, 60);
}

QString percent(double share)
{
    return QString::number(share * 100.0, 'f', 2);
}

} // namespace

HistogramPlot::HistogramPlot(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(200, 100);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void HistogramPlot::setStats(const PictureStats& stats)
{
    m_stats = stats;
    m_profile = {};
    update();
}

void HistogramPlot::setProfile(const LineProfile& profile)
{
    m_profile = profile;
    m_stats = {};
    update();
}

void HistogramPlot::setLogScale(bool log)
{
    m_log = log;
    update();
}

void HistogramPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(palette().mid().color());
    painter.drawRect(area);
    painter.setRenderHint(QPainter::Antialiasing);

    if (!m_stats.isEmpty()) {
        double top = 1;
        for (const ChannelStats& channel : m_stats.channels) {
            for (const quint32 count : channel.histogram)
                top = std::max(top, m_log ? std::log1p(double(count)) : double(count));
        }
        for (const ChannelStats& channel : m_stats.channels) {
            QPainterPath path;
            for (int value = 0; value < 256; ++value) {
                const double count = channel.histogram[value];
                const double height = (m_log ? std::log1p(count) : count) / top;
                const QPointF point(area.left() + area.width() * value / 255.0,
                                    area.bottom() - area.height() * height);
                if (value == 0)
                    path.moveTo(point);
                else
                    path.lineTo(point);
            }
            painter.setPen(QPen(colourOf(channel.channel), 1.2));
            painter.drawPath(path);
        }
        return;
    }
    if (!m_profile.isEmpty()) {
        const qsizetype points = static_cast<qsizetype>(m_profile.points.size());
        for (const ChannelProfile& channel : m_profile.channels) {
            QPainterPath path;
            for (qsizetype i = 0; i < points; ++i) {
                const QPointF point(area.left() +
                                        area.width() * i / std::max<qsizetype>(1, points - 1),
                                    area.bottom() - area.height() * channel.values[i] / 255.0);
                if (i == 0)
                    path.moveTo(point);
                else
                    path.lineTo(point);
            }
            painter.setPen(QPen(colourOf(channel.channel), 1.2));
            painter.drawPath(path);
        }
    }
}

HistogramPanel::HistogramPanel(AppCore& core, QWidget* parent) : QWidget(parent), m_core(core)
{
    setObjectName(QStringLiteral("picHistogram"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_area = new QLabel(this);
    m_area->setObjectName(QStringLiteral("lblHistogramArea"));
    m_histogram = new HistogramPlot(this);
    m_histogram->setObjectName(QStringLiteral("picHistogramPlot"));
    chkLogScale = new QCheckBox(this);
    chkLogScale->setObjectName(QStringLiteral("chkLogScale"));
    lblFigures = new QLabel(this);
    lblFigures->setObjectName(QStringLiteral("lblFigures"));
    lblFigures->setTextFormat(Qt::RichText);
    lblFigures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_profileTitle = new QLabel(this);
    m_profile = new HistogramPlot(this);
    m_profile->setObjectName(QStringLiteral("picProfile"));
    lblCompare = new QLabel(this);
    lblCompare->setObjectName(QStringLiteral("lblCompare"));
    lblCompare->setWordWrap(true);

    layout->addWidget(m_area);
    layout->addWidget(m_histogram);
    layout->addWidget(chkLogScale);
    layout->addWidget(lblFigures);
    layout->addWidget(m_profileTitle);
    layout->addWidget(m_profile);
    layout->addWidget(lblCompare);
    layout->addStretch();
    m_profileTitle->setVisible(false);
    m_profile->setVisible(false);
    connect(chkLogScale, &QCheckBox::toggled, m_histogram,
            [this](bool log) { m_histogram->setLogScale(log); });
    setMinimumWidth(300);
}

QString HistogramPanel::channelName(Channel channel) const
{
    const int number = channel == Channel::Red     ? PictureChannelRed
                       : channel == Channel::Green ? PictureChannelGreen
                       : channel == Channel::Blue  ? PictureChannelBlue
                                                   : PictureChannelGrey;
    return m_core.GetMessageText(kSectionPicture, number);
}

void HistogramPanel::showStats(const PictureStats& stats, bool wholePicture)
{
    m_histogram->setStats(stats);
    const QRect area = stats.area;
    if (stats.isEmpty())
        m_area->clear();
    else if (wholePicture)
        m_area->setText(m_core.GetMessageText(kSectionPicture, PictureAreaWhole)
                            .arg(area.width())
                            .arg(area.height()));
    else
        m_area->setText(m_core.GetMessageText(kSectionPicture, PictureAreaRectangle)
                            .arg(area.x())
                            .arg(area.y())
                            .arg(area.width())
                            .arg(area.height()));
    QString table = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\"><tr>");
    for (const QString& head :
         m_core.GetMessageText(kSectionPicture, PictureColumns).split(QLatin1Char('|')))
        table += QStringLiteral("<th align=\"right\">%1</th>").arg(head.toHtmlEscaped());
    table += QStringLiteral("</tr>");
    for (const ChannelStats& channel : stats.channels) {
        // A saturated channel stands out: its share at 255 in red, with the word.
        const QString atFull =
            channel.saturated()
                ? QStringLiteral("<b><font color=\"#c00000\">%1 % %2</font></b>")
                      .arg(percent(channel.shareAtFull()),
                           m_core.GetMessageText(kSectionPicture, PictureSaturated).toHtmlEscaped())
                : QStringLiteral("%1 %").arg(percent(channel.shareAtFull()));
        table +=
            QStringLiteral("<tr><td><font color=\"%1\">%2</font></td>"
                           "<td align=\"right\">%3</td><td align=\"right\">%4</td>"
                           "<td align=\"right\">%5</td><td align=\"right\">%6</td>"
                           "<td align=\"right\">%7 %</td><td align=\"right\">%8</td></tr>")
                .arg(colourOf(channel.channel).name(), channelName(channel.channel).toHtmlEscaped(),
                     QString::number(channel.mean, 'f', 2),
                     QString::number(channel.standardDeviation, 'f', 2),
                     QString::number(channel.minimum), QString::number(channel.maximum),
                     percent(channel.shareAtZero()), atFull);
    }
    table += QStringLiteral("</table>");
    lblFigures->setText(stats.isEmpty() ? QString() : table);
}

void HistogramPanel::showProfile(const LineProfile& profile)
{
    m_profile->setProfile(profile);
    m_profileTitle->setText(
        m_core.GetMessageText(kSectionPicture, PictureProfile).arg(profile.points.size()));
    m_profileTitle->setVisible(!profile.isEmpty());
    m_profile->setVisible(!profile.isEmpty());
}

void HistogramPanel::applyTexts()
{
    chkLogScale->setText(m_core.GetMessageText(kSectionPicture, PictureLogScale));
    lblCompare->setText(m_core.GetMessageText(kSectionPicture, PictureNoReference));
}

void HistogramPanel::showComparison(const QString& text)
{
    lblCompare->setText(text);
}

void HistogramPanel::clear()
{
    showStats({}, true);
    showProfile({});
}

QString HistogramPanel::figuresText() const
{
    return QTextDocumentFragment::fromHtml(lblFigures->text()).toPlainText();
}

} // namespace kel
