#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace platform {

// printf-style formatting in the C locale, whatever locale the process runs in: stored numbers,
// coordinate texts and written files always use '.' as the decimal point.
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same with the arguments of a variadic caller.
std::string FormatCList(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// Reads a number as the C library's string-to-double conversion does in the C locale: leading
// white space is skipped, then the longest prefix that forms a number is read. Text that starts
// with no number reads as 0.0.
double ParseCDouble(std::string_view text);

}  // namespace platform
