#include "platform/c_format.h"

#include <locale.h>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

// The C locale object, created once; uselocale switches only the calling thread.
locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

class ScopedCLocale {
public:
    ScopedCLocale() : previous_(uselocale(CLocale())) {}
    ~ScopedCLocale() { uselocale(previous_); }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

private:
    locale_t previous_;
};

}  // namespace

std::string FormatC(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string result = FormatCList(format, args);
    va_end(args);
    return result;
}

std::string FormatCList(const char* format, va_list args) {
    ScopedCLocale cLocale;
    va_list copy;
    va_copy(copy, args);
    char small[256];
    const int length = std::vsnprintf(small, sizeof small, format, args);
    std::string result;
    if (length < 0) {
        va_end(copy);
        return result;
    }
    if (size_t(length) < sizeof small) {
        result.assign(small, size_t(length));
    } else {
        result.resize(size_t(length) + 1);
        std::vsnprintf(result.data(), result.size(), format, copy);
        result.resize(size_t(length));
    }
    va_end(copy);
    return result;
}

double ParseCDouble(std::string_view text) {
    const std::string terminated(text);
    return strtod_l(terminated.c_str(), nullptr, CLocale());
}

}  // namespace platform
