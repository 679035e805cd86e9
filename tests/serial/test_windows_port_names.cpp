// How Windows port names are read and opened.

#include "dialogs/ComPortList.h"
#include "serial/DeviceNames.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowsPortNames, comNumbersFromTheRegistryText)
{
    struct Case {
        const char* name;
        int number;
    };
    for (const Case& c : {Case{"COM1", 1}, Case{"com12", 12}, Case{"COM256", 256}, Case{"COM0", 0},
                          Case{"COM257", 0}, Case{"COM01", 0}, Case{"COM+3", 0}, Case{"COM", 0},
                          Case{"LPT1", 0}, Case{"COM3 ", 0}, Case{"", 0}})
        EXPECT_EQ(kel::comPortNumber(QLatin1String(c.name)), c.number) << c.name;
}

TEST(WindowsPortNames, devicePathsOpenEveryPortNumber)
{
    EXPECT_EQ(kel::serial::win32DevicePath(QStringLiteral("COM1")), QStringLiteral("\\\\.\\COM1"));
    EXPECT_EQ(kel::serial::win32DevicePath(QStringLiteral("COM10")),
              QStringLiteral("\\\\.\\COM10"));
    EXPECT_EQ(kel::serial::win32DevicePath(QStringLiteral("\\\\.\\COM10")),
              QStringLiteral("\\\\.\\COM10"));
}

} // namespace
