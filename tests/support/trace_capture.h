#pragma once

#include <QMutex>

#include <string>
#include <vector>

#include "platform/trace.h"

// Collects the trace lines written while it lives.
class TraceCapture {
public:
    TraceCapture() {
        previous_ = platform::SetTraceSink([this](const std::string& line) {
            QMutexLocker lock(&mutex_);
            lines_.push_back(line);
        });
    }
    ~TraceCapture() { platform::SetTraceSink(std::move(previous_)); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    std::vector<std::string> Lines() const {
        QMutexLocker lock(&mutex_);
        return lines_;
    }
    void Clear() {
        QMutexLocker lock(&mutex_);
        lines_.clear();
    }

private:
    mutable QMutex mutex_;
    std::vector<std::string> lines_;
    platform::TraceSink previous_;
};
