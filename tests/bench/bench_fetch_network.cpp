// A 508 x 432 colour image received from kelsim paced at 38400 baud through Debian's ser2net,
// in both of its modes with its default options and in raw tcp with its character delay turned
// off, beside the line-rate limit of XMODEM-CRC (every block 133 bytes and its ACK 1, at 10 bits
// a byte). The same fetch on kelsim's pty directly gives the machine's own figure beside them.
// Takes about four minutes.
//
// Goals: within 2 % of the limit directly and within 1 % through a server without the delay.
// At the server's defaults every block also pays the server's own wait after the last byte the
// line brought (two character times, at least 1 ms, and its timer's wake-up: about 3 ms), which
// no client setting reaches: within 10 %.
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

struct Route {
    const char* name;
    std::optional<Mode> server; // nothing: kelsim's pty opened directly
    bool charDelay;             // the server's wait after the line's last byte
    double goal;                // of the line-rate limit
};
void PrintTo(const Route& route, std::ostream* out)
{
    *out << route.name;
}

class NetworkFetchBench : public ::testing::TestWithParam<Route> {};

TEST_P(NetworkFetchBench, pacedFetchAgainstTheLineRateLimit)
{
    KelsimProcess sim({.arguments = {"--baud", QString::number(kBaud), "--quiet"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const Route& route = GetParam();
    std::optional<Ser2netProcess> server;
    QStringList device;
    if (route.server) {
        server.emplace(sim.device(), *route.server, route.charDelay);
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
    std::printf("%s%s: %d blocks at %d baud: %.2f s, line-rate limit %.2f s, %.3f x\n", route.name,
                defaults ? " (system's TCP defaults)" : "", blocks, kBaud, measured, limit,
                measured / limit);
    if (!defaults) {
        EXPECT_LE(measured / limit, route.goal);
    }
}

INSTANTIATE_TEST_SUITE_P(Ser2net, NetworkFetchBench,
                         ::testing::Values(Route{"direct", std::nullopt, false, 1.02},
                                           Route{"rfc2217", Mode::Rfc2217, true, 1.10},
                                           Route{"tcp", Mode::RawTcp, true, 1.10},
                                           Route{"tcp_nochardelay", Mode::RawTcp, false, 1.01}),
                         [](const ::testing::TestParamInfo<Route>& route) {
                             return std::string(route.param.name);
                         });

} // namespace
