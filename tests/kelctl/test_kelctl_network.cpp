// kelctl against the simulated sensor behind Debian's ser2net, in its Telnet RFC 2217 mode and
// its raw TCP mode, with the server's default options: everything a direct line does, byte for
// byte, and a server that goes away or was never there.

#include "KelctlTestSupport.h"
#include "StateFolder.h"

#include "image/ImageState.h"
#include "support/KelsimFixture.h"
#include "support/LoopbackServer.h"
#include "support/Ser2netProcess.h"

#include <QDir>
#include <QProcess>
#include <functional>
#include <gtest/gtest.h>

using namespace kel;
using namespace kel::test;
using Mode = Ser2netProcess::Mode;

namespace {

// size bytes that are mostly 0xFF (the Telnet escape byte), with a counter in every fourth
// byte so that a byte lost or doubled anywhere shows.
QByteArray escapeHeavy(qsizetype size, qsizetype headerFrom = 0, const QByteArray& header = {})
{
    QByteArray bytes(size, char(0xFF));
    for (qsizetype i = 0; i < size; i += 4)
        bytes[i] = char(i / 4);
    bytes.replace(headerFrom, header.size(), header);
    return bytes;
}

// Whether holds() comes true within a few seconds.
bool eventually(const std::function<bool()>& holds)
{
    const QDeadlineTimer deadline(5000);
    while (!holds()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

class KelctlNetwork : public ::testing::TestWithParam<Mode> {
protected:
    void SetUp() override
    {
        sim = std::make_unique<KelsimProcess>();
        ASSERT_TRUE(sim->ready()) << sim->error().toStdString();
        server = std::make_unique<Ser2netProcess>(sim->device(), GetParam());
        ASSERT_TRUE(server->ready()) << server->error().toStdString();
    }

    // kelctl through the server.
    KelctlResult remote(const QStringList& args) const
    {
        return sim->kelctl(QStringList{"--device", server->deviceText()} + args);
    }
    // kelctl on kelsim's own device, once the server has let go of it: both reading the same
    // device, the server would take the replies.
    KelctlResult direct(const QStringList& args) const
    {
        EXPECT_TRUE(server->waitUntilDeviceReleased());
        return sim->kelctl(args);
    }

    std::unique_ptr<KelsimProcess> sim;
    std::unique_ptr<Ser2netProcess> server;
};

TEST_P(KelctlNetwork, everyOperationGivesWhatTheDirectLineGives)
{
    const KelctlResult info = remote({"info"});
    ASSERT_EQ(info.status, 0) << describe(info);
    EXPECT_EQ(info.out, direct({"info"}).out);

    const KelctlResult fetch = remote({"fetch", "net.KEL"});
    ASSERT_EQ(fetch.status, 0) << describe(fetch);
    ASSERT_EQ(direct({"fetch", "direct.KEL"}).status, 0);
    EXPECT_EQ(readBytes(sim->file("net.KEL")), readBytes(sim->file("direct.KEL")));

    // An upload file of 0xFF bytes goes in unchanged: the next fetch carries its rows.
    const QByteArray upload = escapeHeavy(kSensorWidth * kUploadFileRows);
    ASSERT_TRUE(writeBytes(sim->file("up.bin"), upload));
    ASSERT_EQ(remote({"command", "IMGLOAD"}).status, 0);
    const KelctlResult sent = remote({"send", "up.bin"});
    ASSERT_EQ(sent.status, 0) << describe(sent);
    ASSERT_EQ(direct({"fetch", "back.KEL"}).status, 0);
    EXPECT_TRUE(readBytes(sim->file("back.KEL")).mid(16, kSensorWidth * kSensorFullHeight) ==
                upload.left(kSensorWidth * kSensorFullHeight));

    // Banks and system data both ways, the sensor's copy checked byte for byte.
    const sim::StateFolder state(sim->stateDir());
    ASSERT_TRUE(state.prepare(nullptr));
    const QByteArray bank =
        escapeHeavy(4096, 0, sim::StateFolder::defaultBank(4).left(sim::kBlockHeaderSize));
    const QByteArray system =
        escapeHeavy(640, 0, sim::StateFolder::defaultSystem().left(sim::kBlockHeaderSize));
    ASSERT_TRUE(writeBytes(sim->file("in.BNK"), bank));
    ASSERT_TRUE(writeBytes(sim->file("in.STD"), system));
    const KelctlResult bankIn = remote({"bank", "load", "in.BNK"});
    ASSERT_EQ(bankIn.status, 0) << describe(bankIn);
    const KelctlResult systemIn = remote({"system", "load", "in.STD"});
    ASSERT_EQ(systemIn.status, 0) << describe(systemIn);
    // kelsim stores a block once the transfer has ended on its side, a moment after kelctl's.
    EXPECT_TRUE(eventually([&] { return state.bank(4) == bank; }));
    EXPECT_TRUE(eventually([&] { return state.system() == system; }));
    const KelctlResult bankOut = remote({"bank", "save", "4", "out.BNK"});
    ASSERT_EQ(bankOut.status, 0) << describe(bankOut);
    const KelctlResult systemOut = remote({"system", "save", "out.STD"});
    ASSERT_EQ(systemOut.status, 0) << describe(systemOut);
    EXPECT_TRUE(readBytes(sim->file("out.BNK")) == bank);
    EXPECT_TRUE(readBytes(sim->file("out.STD")) == system);
}

class KelctlNetworkCut : public ::testing::TestWithParam<Mode> {};

// The server stopped in the middle of a transfer: a failure, no file from the cut transfer and
// the older backup kept.
TEST_P(KelctlNetworkCut, aServerThatGoesAwayFailsTheTransferAndKeepsTheOlderFiles)
{
    struct Case {
        QStringList args;
        const char* command;
        const char* file;
        QByteArray before; // the file's contents before the run; empty: no file
    };
    const Case cases[] = {{{"fetch", "cut.KEL"}, "IMGSAVE 0", "cut.KEL", {}},
                          {{"bank", "save", "2", "old.BNK"}, "BANKSAVE 2", "old.BNK", "last week"}};
    for (const Case& c : cases) {
        // Paced, so that the transfer is still under way when the server stops.
        KelsimProcess sim({.arguments = {"--baud", "38400"}});
        ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
        const sim::StateFolder state(sim.stateDir());
        ASSERT_TRUE(state.prepare(nullptr));
        ASSERT_TRUE(state.storeBank(
            2,
            escapeHeavy(64 * 1024, 0, sim::StateFolder::defaultBank(2).left(sim::kBlockHeaderSize)),
            nullptr));
        Ser2netProcess server(sim.device(), GetParam());
        ASSERT_TRUE(server.ready()) << server.error().toStdString();
        if (!c.before.isEmpty()) {
            ASSERT_TRUE(writeBytes(sim.file(c.file), c.before));
        }

        const std::unique_ptr<QProcess> run =
            sim.startKelctl(QStringList{"--device", server.deviceText()} + c.args);
        ASSERT_TRUE(run);
        ASSERT_TRUE(waitForTransfer(sim, c.command)) << c.command;
        server.stop();
        const KelctlResult cut = KelsimProcess::finishKelctl(*run, 20000);
        EXPECT_EQ(cut.status, kStatusConnectionLost) << c.command << describe(cut);
        if (c.before.isEmpty()) {
            EXPECT_FALSE(QFile::exists(sim.file(c.file))) << c.command;
        } else {
            EXPECT_EQ(readBytes(sim.file(c.file)), c.before) << c.command;
        }
        EXPECT_EQ(QDir(sim.folder()).entryList({"*.KEL*", "*.BNK*"}, QDir::Files | QDir::Hidden),
                  c.before.isEmpty() ? QStringList() : QStringList{c.file})
            << c.command;
    }
}

const auto kModes = ::testing::Values(Mode::Rfc2217, Mode::RawTcp);
std::string modeName(const ::testing::TestParamInfo<Mode>& mode)
{
    return Ser2netProcess::modeName(mode.param).toStdString();
}
INSTANTIATE_TEST_SUITE_P(Ser2net, KelctlNetwork, kModes, modeName);
INSTANTIATE_TEST_SUITE_P(Ser2net, KelctlNetworkCut, kModes, modeName);

TEST(KelctlNetworkDeclined, aServerWithoutTheComPortOptionIsUsedAsItIsAndToldOnce)
{
    KelsimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    Ser2netProcess server(sim.device(), Mode::TelnetOnly);
    ASSERT_TRUE(server.ready()) << server.error().toStdString();
    const KelctlResult info = sim.kelctl({"--device", server.deviceText(), "info"});
    ASSERT_EQ(info.status, 0) << describe(info);
    EXPECT_EQ(info.out, sim.kelctl({"info"}).out);
    // Five commands, five connections, one warning.
    EXPECT_EQ(info.err.count("declined the COM-PORT-OPTION"), 1) << describe(info);
    EXPECT_TRUE(info.err.contains("The device server does not take the line settings"))
        << describe(info);
}

// Each way a device server fails is told in the settings' language with the server named once,
// and gives one status whatever the route: a server that cannot be reached is a port that
// cannot be opened (4), a connection it ends has a status of its own (15), and a server that
// says nothing is a sensor that does not answer (5).
TEST(KelctlNetworkFailures, eachCauseHasItsOwnWordsAndOneStatusOnBothRoutes)
{
    KelsimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const quint16 closed = freeLocalPort();
    ASSERT_FALSE(listensOn(closed));
    LoopbackServer closing(LoopbackServer::Behaviour::CloseAtOnce);
    LoopbackServer silent(LoopbackServer::Behaviour::Silent);
    ASSERT_TRUE(closing.ready() && silent.ready());
    struct Case {
        const char* what;
        QString server;    // HOST:PORT
        const char* words; // what the message says (English settings)
        int status;
    };
    const Case cases[] = {
        {"refused", QStringLiteral("127.0.0.1:%1").arg(closed), "refused the connection",
         kStatusPort},
        {"unknown host", QStringLiteral("no-such-host.invalid:4001"), "host name is not known",
         kStatusPort},
        {"closed", QStringLiteral("127.0.0.1:%1").arg(closing.port()), "closed the connection",
         kStatusConnectionLost},
        {"silent", QStringLiteral("127.0.0.1:%1").arg(silent.port()),
         "Communication with the sensor failed", kStatusNoReply},
    };
    for (const Case& c : cases) {
        for (const char* scheme : {"tcp", "rfc2217"}) {
            const QString device = QStringLiteral("%1://%2").arg(QLatin1String(scheme), c.server);
            const KelctlResult run = sim.kelctl({"--device", device, "command", "IMGINFO 0 0"});
            const std::string where = std::string(c.what) + " " + scheme + ": " + describe(run);
            EXPECT_EQ(run.status, c.status) << where;
            const QString err = QString::fromLocal8Bit(run.err);
            EXPECT_TRUE(err.contains(QLatin1String(c.words))) << where;
            EXPECT_TRUE(c.status == kStatusNoReply || err.count(c.server) == 1) << where;
            EXPECT_FALSE(err.contains(QLatin1String("COM port"))) << where;
            EXPECT_FALSE(err.contains(QLatin1String("declined"))) << where;
        }
    }
    // An address that is none is still the port that cannot be opened, named as given.
    const KelctlResult invalid = sim.kelctl({"--device", "tcp://no-port", "command", "M"});
    EXPECT_EQ(invalid.status, kStatusPort) << describe(invalid);
    EXPECT_TRUE(invalid.err.contains("tcp://no-port: ")) << describe(invalid);
    EXPECT_EQ(invalid.err.count('\n'), 1) << describe(invalid);
    EXPECT_FALSE(sim.log().contains("kelsim: >"));
}

} // namespace
