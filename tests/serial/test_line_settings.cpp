// The line parameters text and the device a port number opens.

#include "serial/DeviceNames.h"
#include "serial/LineSettings.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace kel::serial;

namespace {

TEST(LineSettings, acceptedTexts)
{
    struct Case {
        const char* text;
        LineSettings expected;
    };
    for (const Case& c :
         {Case{"38400,N,8,1", {38400, Parity::None, 8, StopBits::One}},
          Case{"19200,E,7,2", {19200, Parity::Even, 7, StopBits::Two}},
          Case{"9600,o,8,1", {9600, Parity::Odd, 8, StopBits::One}},
          Case{" 115200 , M , 5 , 1.5 ", {115200, Parity::Mark, 5, StopBits::OneAndHalf}},
          Case{"4800,s,6,1", {4800, Parity::Space, 6, StopBits::One}}}) {
        const std::optional<LineSettings> parsed = parseLineSettings(QLatin1String(c.text));
        ASSERT_TRUE(parsed.has_value()) << c.text;
        EXPECT_EQ(*parsed, c.expected) << c.text;
    }
}

TEST(LineSettings, refusedTexts)
{
    for (const char* text :
         {"", "38400", "38400,N,8", "38400,N,8,1,0", "0,N,8,1", "-9600,N,8,1", "4000001,N,8,1",
          "38400.5,N,8,1", "9600,X,8,1", "9600,NN,8,1", "9600,,8,1", "9600,N,4,1", "9600,N,9,1",
          "9600,N,8,3", "9600,N,8,1.0", "９６００,N,8,1"}) {
        EXPECT_FALSE(parseLineSettings(QString::fromUtf8(text)).has_value()) << text;
    }
}

TEST(LineSettings, characterTimeCountsStartParityAndStopBits)
{
    EXPECT_DOUBLE_EQ(characterTimeMs({1000, Parity::None, 8, StopBits::One}), 10.0);
    EXPECT_DOUBLE_EQ(characterTimeMs({1000, Parity::Even, 7, StopBits::Two}), 11.0);
}

TEST(DeviceNames, portNumbersPerPlatform)
{
    struct Case {
        bool windows;
        qint16 port;
        const char* setting;
        const char* device;
    };
    for (const Case& c :
         {Case{true, 1, "", "COM1"}, Case{true, 12, "/dev/ttyUSB0", "COM12"}, Case{true, 0, "", ""},
          Case{false, 1, "", "/dev/ttyS0"}, Case{false, 16, "", "/dev/ttyS15"},
          Case{false, 3, "/dev/ttyUSB0", "/dev/ttyUSB0"}, Case{false, 0, "", ""},
          Case{false, -1, "/tmp/pty", "/tmp/pty"}}) {
        EXPECT_EQ(deviceForPortOn(c.windows, c.port, QLatin1String(c.setting)),
                  QLatin1String(c.device))
            << c.windows << " " << c.port << " " << c.setting;
    }
}

} // namespace
