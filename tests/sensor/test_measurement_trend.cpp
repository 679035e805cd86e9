// The values a continuous measurement's trend keeps, and their CSV log.

#include "sensor/MeasurementTrend.h"

#include <QTimeZone>
#include <gtest/gtest.h>

using namespace kel::sensor;

namespace {

TrendPoint pointAt(int second, const char* code, const char* value)
{
    return {QDateTime(QDate(2026, 12, 9), QTime(10, 0, second), QTimeZone(9 * 3600)),
            QString::fromLatin1(code), QString::fromLatin1(value)};
}

TEST(MeasurementTrend, keepsTheLastValuesOldestFirstAndCountsTheirJudgements)
{
    MeasurementTrend trend;
    for (int n = 1; n <= MeasurementTrend::kCapacity + 5; ++n)
        trend.add({{}, QString::fromLatin1(n % 4 == 0 ? "-1" : "0"), QString::number(n)});
    ASSERT_EQ(trend.size(), MeasurementTrend::kCapacity);
    EXPECT_EQ(trend.points().front().value, "6");
    EXPECT_EQ(trend.points().back().value, QString::number(MeasurementTrend::kCapacity + 5));
    EXPECT_EQ(trend.count(Judgement::Ng), MeasurementTrend::kCapacity / 4);
    EXPECT_EQ(trend.count(Judgement::Ok), MeasurementTrend::kCapacity * 3 / 4);
}

TEST(MeasurementTrend, judgementsAndNumbersAreReadExactly)
{
    const struct {
        const char* code;
        Judgement judgement;
    } codes[] = {{"0", Judgement::Ok},
                 {"-1", Judgement::Ng},
                 {"-2", Judgement::Error},
                 {" 0", Judgement::Unknown},
                 {"", Judgement::Unknown}};
    for (const auto& c : codes)
        EXPECT_EQ(judgementOf(QString::fromLatin1(c.code)), c.judgement) << c.code;
    EXPECT_EQ(pointAt(0, "0", " 12.50").number(), 12.5);
    EXPECT_FALSE(pointAt(0, "0", "ER").number());
    EXPECT_FALSE(pointAt(0, "0", "nan").number());
}

TEST(MeasurementTrend, csvHasTheColumnsOfTheWatchLog)
{
    MeasurementTrend trend;
    EXPECT_EQ(trend.csv(), "time,code,value\r\n");
    trend.add(pointAt(1, "0", "100.25"));
    trend.add(pointAt(2, "-1", "1,5"));
    EXPECT_EQ(trend.csv(), "time,code,value\r\n"
                           "2026-12-09T10:00:01.000+09:00,0,100.25\r\n"
                           "2026-12-09T10:00:02.000+09:00,-1,\"1,5\"\r\n");
}

} // namespace
