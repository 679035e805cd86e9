#include "files/BatchListLayout.h"

#include <QStringEncoder>
#include <QStringView>
#include <algorithm>
#include <cmath>

namespace kel {

int roundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value)); // the default rounding mode is to even
}

namespace {

// Where no converter for the code page is at hand: its double-byte characters are everything
// outside ASCII and half-width katakana.
int estimatedAnsiBytes(const QString& text)
{
    int bytes = 0;
    for (char32_t c : text.toUcs4())
        bytes += (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) ? 1 : 2;
    return bytes;
}

// Characters, not UTF-16 units: a pair of surrogates counts once.
qsizetype unitsOfCharacters(QStringView text, int characters)
{
    qsizetype units = 0;
    for (int i = 0; i < characters && units < text.size(); ++i)
        units += (text[units].isHighSurrogate() && units + 1 < text.size()) ? 2 : 1;
    return units;
}

} // namespace

int ansiByteLength(const QString& text)
{
    QStringEncoder encoder("windows-31j");
    if (!encoder.isValid())
        return estimatedAnsiBytes(text);
    const QByteArray bytes = encoder.encode(text);
    return static_cast<int>(bytes.size());
}

ScrollBarState verticalBar(double boxHeight, qsizetype count)
{
    const double linesFit = boxHeight / kListLineTwips;
    const double lastIndex = static_cast<double>(count - 1);
    if (!(linesFit < lastIndex))
        return {};
    return {true, roundHalfEven(lastIndex - linesFit)};
}

ScrollBarState horizontalBar(double boxWidth, const QStringList& names)
{
    const double bytesFit = boxWidth / kListByteTwips;
    ScrollBarState bar;
    for (const QString& name : names) {
        const double bytes = ansiByteLength(name);
        if (bytes > bytesFit) {
            bar.visible = true;
            if (bytes - bytesFit > bar.maximum)
                bar.maximum = roundHalfEven(bytes - bytesFit);
        }
    }
    return bar;
}

BatchDialogLayout layoutBatchDialog(int width, int height, const QStringList& names)
{
    BatchDialogLayout layout;
    const double W = std::max(width, kBatchMinWidth);
    const double H = std::max(height, kBatchMinHeight);
    layout.width = static_cast<int>(W);
    layout.height = static_cast<int>(H);

    layout.ConvFrame.height = H - 1455;
    layout.ConvFrame.width = W - 600;
    layout.FileBox.height = H - 480 - 1830;
    layout.FileBox.width = W - 600 - 735;

    layout.TateScr.left = W - 735 - 255;
    layout.TateScr.height = layout.FileBox.height;
    layout.tate = verticalBar(layout.FileBox.height, names.size());

    layout.YokoScr.top = H - 1830;
    layout.YokoScr.width = layout.FileBox.width;
    layout.yoko = horizontalBar(layout.FileBox.width, names);

    layout.cmdAuto.top = H - 990;
    layout.cmdAuto.left = W / 2 - 1320.0 / 2;
    layout.cmdOK.top = layout.cmdAuto.top;
    layout.cmdOK.left = layout.cmdAuto.left - 1320;
    layout.cmdCancel.top = layout.cmdAuto.top;
    layout.cmdCancel.left = layout.cmdAuto.left + 1320;
    return layout;
}

QString batchListText(const QStringList& names, int first, int cut)
{
    QString text;
    for (qsizetype i = std::max(first, 0); i < names.size(); ++i) {
        const QStringView name(names[i]);
        text += name.mid(unitsOfCharacters(name, std::max(cut, 0)));
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace kel
