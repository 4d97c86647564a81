#include "gps/gps_sources.h"

#include <algorithm>

#include "platform/c_format.h"

namespace gps {

namespace {

// "key=value&key=value" → the value of key, or empty.
std::string QueryValue(const std::string& query, const std::string& key) {
    size_t pos = 0;
    while (pos <= query.size()) {
        const size_t end = std::min(query.find('&', pos), query.size());
        const std::string item = query.substr(pos, end - pos);
        if (item.compare(0, key.size() + 1, key + "=") == 0) {
            return item.substr(key.size() + 1);
        }
        pos = end + 1;
    }
    return {};
}

bool ParseWhole(const std::string& text, int maximum, int& value) {
    if (text.empty() || text.size() > 7 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    value = std::stoi(text);
    return value > 0 && value <= maximum;
}

bool ParsePort(const std::string& text, int& port) {
    return ParseWhole(text, 65535, port);
}

// "host:port", "[v6]:port", "host" → host and port (defaultPort when absent; -1 none allowed).
bool SplitHostPort(const std::string& text, int defaultPort, std::string& host, int& port) {
    std::string rest = text;
    if (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    size_t colon = std::string::npos;
    if (!rest.empty() && rest[0] == '[') {
        const size_t close = rest.find(']');
        if (close == std::string::npos)
            return false;
        host = rest.substr(1, close - 1);
        if (close + 1 < rest.size()) {
            if (rest[close + 1] != ':')
                return false;
            colon = close + 1;
        }
    } else {
        colon = rest.rfind(':');
        host = rest.substr(0, colon);
    }
    if (colon == std::string::npos) {
        port = defaultPort;
        return defaultPort > 0;
    }
    return ParsePort(rest.substr(colon + 1), port);
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

std::unique_ptr<platform::GpsBackend> MakeGpsBackend(const std::string& uri) {
    const size_t question = uri.find('?');
    const std::string base = uri.substr(0, question);
    const std::string query = question == std::string::npos ? "" : uri.substr(question + 1);
    std::string host;
    int port = 0;
    if (StartsWith(base, "gpsd://")) {
        if (!SplitHostPort(base.substr(7), 2947, host, port))
            return nullptr;
        return platform::MakeGpsdBackend(host.empty() ? "localhost" : host, port);
    }
    if (StartsWith(base, "tcp://")) {
        if (!SplitHostPort(base.substr(6), -1, host, port) || host.empty())
            return nullptr;
        return MakeTcpNmeaBackend(host, port);
    }
    if (StartsWith(base, "nmea://")) {
        const std::string device = base.substr(7);
        const std::string baudText = QueryValue(query, "baud");
        int baud = 4800;
        if (!baudText.empty() && !ParseWhole(baudText, 4000000, baud))
            return nullptr;
        if (device.empty() || device[0] != '/')
            return nullptr;
        return MakeSerialNmeaBackend(device, baud);
    }
    if (StartsWith(base, "replay:")) {
        std::string path = base.substr(7);
        if (StartsWith(path, "//"))
            path = path.substr(2);  // replay:///abs/file.nmea
        const std::string speedText = QueryValue(query, "speed");
        double speed = 1.0;
        if (!speedText.empty()) {
            const bool plain = std::all_of(speedText.begin(), speedText.end(), [](char c) {
                return (c >= '0' && c <= '9') || c == '.';
            });
            speed = platform::ParseCDouble(speedText);
            if (!plain || speed > 1e6)
                return nullptr;
        }
        if (path.empty())
            return nullptr;
        return MakeReplayBackend(path, speed, QueryValue(query, "loop") == "1");
    }
    return nullptr;
}

void InstallGpsSources() {
    platform::GpsBackendFactory previous = platform::SetGpsBackendFactory(&MakeGpsBackend);
    // A back end installed before (a test's scripted receiver) stays in place.
    if (previous) {
        platform::SetGpsBackendFactory(std::move(previous));
    }
}

bool SelectGpsSource(const std::string& uri) {
    if (!MakeGpsBackend(uri)) {
        return false;
    }
    InstallGpsSources();
    platform::SetGpsSource(uri);
    return true;
}

}  // namespace gps
