// A 508 x 432 colour image received from kelsim paced at 38400 baud through Debian's ser2net
// with its default options, in both of its modes, beside the line-rate limit of XMODEM-CRC
// (every block 133 bytes and its ACK 1, at 10 bits a byte). Goal: within 2 % of the limit.
// The same fetch on kelsim's pty directly gives the machine's own figure beside them. Takes
// about three minutes.
//
// KEL_TCP_DEFAULTS=1 leaves the client's sockets at the system's defaults (small-segment delay
// and delayed acknowledgements on): the same run then shows what that costs, and only prints.

#include "../kelctl/KelctlTestSupport.h"

#include "support/KelsimFixture.h"
#include "support/Ser2netProcess.h"

#include <QElapsedTimer>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>

using namespace kel::test;
using Mode = Ser2netProcess::Mode;

namespace {

constexpr int kBaud = 38400;
constexpr double kGoal = 1.02;

// The server's mode; nothing: kelsim's pty opened directly, for the machine's own figure.
using Route = std::optional<Mode>;

class NetworkFetchBench : public ::testing::TestWithParam<Route> {};

TEST_P(NetworkFetchBench, pacedFetchAgainstTheLineRateLimit)
{
    KelsimProcess sim({.arguments = {"--baud", QString::number(kBaud), "--quiet"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    std::optional<Ser2netProcess> server;
    QStringList device;
    if (GetParam()) {
        server.emplace(sim.device(), *GetParam());
        ASSERT_TRUE(server->ready()) << server->error().toStdString();
        device = QStringList{"--device", server->deviceText()};
    }

    const KelctlResult command = sim.kelctl(device + QStringList{"command", "IMGSAVE 0"});
    ASSERT_EQ(command.status, 0) << describe(command);
    QElapsedTimer clock;
    clock.start();
    const KelctlResult receive = sim.kelctl(device + QStringList{"receive", "image.bin"}, 300000);
    const double measured = clock.nsecsElapsed() / 1e9;
    ASSERT_EQ(receive.status, 0) << describe(receive);
    const int blocks = (508 * 432 + 2 + 127) / 128;
    ASSERT_EQ(readBytes(sim.file("image.bin")).size(), blocks * 128); // padded to whole blocks

    const double limit = blocks * (133 + 1) * 10.0 / kBaud;
    const bool defaults = qEnvironmentVariableIntValue("KEL_TCP_DEFAULTS") == 1;
    std::printf("%s%s: %d blocks at %d baud: %.2f s, line-rate limit %.2f s, %.3f x\n",
                GetParam() ? Ser2netProcess::modeName(*GetParam()).toUtf8().constData() : "direct",
                defaults ? " (system's TCP defaults)" : "", blocks, kBaud, measured, limit,
                measured / limit);
    if (!defaults) {
        EXPECT_LE(measured / limit, kGoal);
    }
}

INSTANTIATE_TEST_SUITE_P(Ser2net, NetworkFetchBench,
                         ::testing::Values(Route(), Route(Mode::Rfc2217), Route(Mode::RawTcp)),
                         [](const ::testing::TestParamInfo<Route>& route) {
                             return route.param
                                        ? Ser2netProcess::modeName(*route.param).toStdString()
                                        : std::string("direct");
                         });

} // namespace
