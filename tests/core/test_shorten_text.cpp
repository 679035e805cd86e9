// Shortening a status line: figures whole, paths by their middle folders, words whole.

#include "core/ShortenText.h"

#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

using namespace kel;

namespace {

std::string figuresOf(const QString& text)
{
    QStringList figures;
    static const QRegularExpression number(QStringLiteral("\\d[\\d,.]*\\d|\\d"));
    for (auto m = number.globalMatch(text); m.hasNext();)
        figures << m.next().captured();
    return figures.join(u' ').toStdString();
}

TEST(ShortenText, keepsEveryFigureAndCutsOnlyBetweenWords)
{
    struct Case {
        const char* text;
        int room; // characters
        const char* expected;
    };
    const Case cases[] = {
        {"Bank 3 saved (2,048 bytes, 1.2 s)", 80, "Bank 3 saved (2,048 bytes, 1.2 s)"},
        {"センサから画像を取得しました (219,520 バイト、9.0 秒)", 24, "… (219,520 バイト、9.0 秒)"},
        {"/home/op/plant/lineA/SYSTEM/sys1.STD にバックアップしました", 40,
         "/home/op/…/SYSTEM/sys1.STD にバックアップしました"},
        {"Saved to /home/op/plant/lineA/IMAGE/a.KEL (219,520 bytes, 9.0 s)", 45,
         "Saved to /home/…/a.KEL (219,520 bytes, 9.0 s)"},
        {"The image was received from the sensor at 38400 baud in 9.0 s", 30,
         "The image … 38400 baud … 9.0 s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);
        const QString shown =
            shortenBetweenWords(text, [&](const QString& t) { return t.size() <= c.room; });
        EXPECT_EQ(shown.toStdString(), std::string(c.expected));
        EXPECT_EQ(figuresOf(shown), figuresOf(text)) << "a figure was cut or dropped";
    }
}

} // namespace
