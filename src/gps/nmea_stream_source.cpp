// NMEA 0183 streams: a serial receiver (termios) and a TCP peer (phones, network receivers).
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "gps/gps_sources.h"
#include "gps/nmea_parser.h"

namespace gps {

namespace {

// A source that says nothing for this long is taken as gone (a peer that vanished without
// closing, a receiver pulled out) and reconnected. Receivers send at least once a second.
constexpr int kSilenceLimitMs = 5000;
constexpr int kPollSliceMs = 100;
constexpr int kConnectTimeoutMs = 2000;

class NmeaStreamBackend : public platform::GpsBackend {
public:
    ~NmeaStreamBackend() override { CloseFd(); }

    RunResult Run(platform::GpsSink& sink) override {
        platform::GpsSink* target = &sink;
        NmeaParser parser([target](const NmeaFix& fix) { target->Deliver(fix.position, false); });
        char buffer[4096];
        int silentMs = 0;
        while (!sink.Stopping()) {
            pollfd p{fd_, POLLIN, 0};
            const int ready = ::poll(&p, 1, kPollSliceMs);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready < 0)
                return RunResult::kLost;
            if (ready == 0) {
                silentMs += kPollSliceMs;
                if (silentMs >= kSilenceLimitMs)
                    return RunResult::kLost;
                continue;
            }
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0)
                return RunResult::kLost;  // end of stream, unplugged, peer gone
            silentMs = 0;
            parser.Feed(buffer, size_t(n));
        }
        return RunResult::kLost;
    }

    void Disconnect() override { CloseFd(); }

protected:
    void CloseFd() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    int fd_ = -1;
};

speed_t BaudConstant(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        default:
            return B0;
    }
}

class SerialNmeaBackend final : public NmeaStreamBackend {
public:
    SerialNmeaBackend(std::string device, int baud) : device_(std::move(device)), baud_(baud) {}

    bool Connect() override {
        CloseFd();
        fd_ = ::open(device_.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0)
            return false;
        termios tty{};
        if (::tcgetattr(fd_, &tty) == 0) {
            ::cfmakeraw(&tty);
            tty.c_cflag |= CLOCAL | CREAD;
            const speed_t speed = BaudConstant(baud_);
            if (speed != B0) {
                ::cfsetispeed(&tty, speed);
                ::cfsetospeed(&tty, speed);
            }
            ::tcsetattr(fd_, TCSANOW, &tty);
        }
        return true;
    }

private:
    std::string device_;
    int baud_;
};

class TcpNmeaBackend final : public NmeaStreamBackend {
public:
    TcpNmeaBackend(std::string host, int port) : host_(std::move(host)), port_(port) {}

    bool Connect() override {
        CloseFd();
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const std::string service = std::to_string(port_);
        if (::getaddrinfo(host_.c_str(), service.c_str(), &hints, &found) != 0)
            return false;
        for (addrinfo* a = found; a != nullptr && fd_ < 0; a = a->ai_next) {
            fd_ = ConnectOne(a);
        }
        ::freeaddrinfo(found);
        return fd_ >= 0;
    }

private:
    // A non-blocking connect bounded in time, so that an open never hangs on a dead host.
    static int ConnectOne(const addrinfo* a) {
        const int fd =
            ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            return -1;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            pollfd p{fd, POLLOUT, 0};
            int error = 0;
            socklen_t length = sizeof error;
            if (errno != EINPROGRESS || ::poll(&p, 1, kConnectTimeoutMs) != 1 ||
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
                ::close(fd);
                return -1;
            }
        }
        return fd;
    }

    std::string host_;
    int port_;
};

}  // namespace

std::unique_ptr<platform::GpsBackend> MakeSerialNmeaBackend(const std::string& device, int baud) {
    return std::make_unique<SerialNmeaBackend>(device, baud);
}

std::unique_ptr<platform::GpsBackend> MakeTcpNmeaBackend(const std::string& host, int port) {
    return std::make_unique<TcpNmeaBackend>(host, port);
}

}  // namespace gps
