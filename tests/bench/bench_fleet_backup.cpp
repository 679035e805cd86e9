// Four sensors backed up at once through a sensor list, against one of them alone, each kelsim
// paced at 38400 baud. The lines are independent, so the fleet should take hardly longer than
// one sensor: fails when it takes more than 1.15 times as long, or when a set is not complete.
// Prints both times. Takes about half a minute.

#include "sensor/BackupSet.h"
#include "support/KelsimFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace kel;
using namespace kel::test;

namespace {

constexpr int kSensors = 4;
constexpr double kAllowedRatio = 1.15;

TEST(FleetBench, fourSensorsTakeAboutAsLongAsOne)
{
    std::vector<std::unique_ptr<KelsimProcess>> sims;
    QByteArray list;
    for (int i = 0; i < kSensors; ++i) {
        sims.push_back(std::make_unique<KelsimProcess>(
            KelsimOptions{.arguments = {"--baud", "38400"}}));
        ASSERT_TRUE(sims.back()->ready()) << sims.back()->error().toStdString();
        list += QStringLiteral("s%1 %2\n").arg(i).arg(sims.back()->device()).toUtf8();
    }
    const KelsimProcess& first = *sims.front();
    QFile listFile(first.file("sensors.txt"));
    ASSERT_TRUE(listFile.open(QIODevice::WriteOnly) && listFile.write(list) == list.size());
    listFile.close();

    QElapsedTimer clock;
    clock.start();
    const KelctlResult one = first.kelctl({"backup", "one"}, 120000);
    const double oneSeconds = clock.nsecsElapsed() / 1e9;
    ASSERT_EQ(one.status, 0) << one.err.toStdString();

    clock.restart();
    const KelctlResult fleet =
        first.kelctl({"--sensors", listFile.fileName(), "backup", "fleet"}, 120000);
    const double fleetSeconds = clock.nsecsElapsed() / 1e9;
    ASSERT_EQ(fleet.status, 0) << fleet.out.toStdString() << fleet.err.toStdString();
    for (int i = 0; i < kSensors; ++i)
        EXPECT_TRUE(sensor::checkSet(first.file(QStringLiteral("fleet/s%1").arg(i))).isEmpty());

    std::printf("one sensor %.2f s, %d sensors %.2f s, ratio %.3f (at most %.2f)\n", oneSeconds,
                kSensors, fleetSeconds, fleetSeconds / oneSeconds, kAllowedRatio);
    EXPECT_LE(fleetSeconds, kAllowedRatio * oneSeconds);
}

} // namespace
