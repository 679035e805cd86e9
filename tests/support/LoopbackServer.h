#pragma once
// A hostile or broken serial device server for a test: a socket listening on a free local TCP
// port that treats every connection one way, served by threads of the test process until the
// object goes.
//
//   LoopbackServer server(LoopbackServer::Behaviour::Flood);
//   ASSERT_TRUE(server.ready());
//   sim.kelctl({"--device", server.deviceText("tcp"), "info"});

#include <QString>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace kel::test {

class LoopbackServer {
public:
    enum class Behaviour {
        Flood,       // sends as fast as the connection takes it, and never reads
        CloseAtOnce, // accepts and closes
        Silent,      // accepts, reads away what comes and says nothing
    };

    explicit LoopbackServer(Behaviour behaviour);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    bool ready() const { return m_listener >= 0; }
    quint16 port() const { return m_port; }
    // "SCHEME://127.0.0.1:PORT"; scheme "tcp" or "rfc2217".
    QString deviceText(const QString& scheme) const;
    // Connections accepted so far.
    int connections() const { return m_connections; }

private:
    void accept();
    void serve(int fd);

    Behaviour m_behaviour;
    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::mutex m_mutex;
    std::vector<std::thread> m_served;
    std::thread m_acceptor;
};

} // namespace kel::test
