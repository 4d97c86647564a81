#include "formats/byte_cursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace formats {
namespace {

// The little-endian bytes of the units, with one byte in front so that the text starts at an
// odd address, as it may inside a read window.
std::vector<char> Utf16LeBytes(const std::vector<char16_t>& units) {
    std::vector<char> bytes(1 + 2 * units.size(), '\x5A');
    for (size_t i = 0; i < units.size(); ++i) {
        bytes[1 + 2 * i] = char(units[i] & 0xFF);
        bytes[2 + 2 * i] = char(units[i] >> 8);
    }
    return bytes;
}

// The scan takes four units at a time; units whose halves are 0x00, 0x01 or 0x80 are those a
// borrow through the lanes would get wrong.
TEST(Utf16LeText, LengthIsUpToTheFirstNulForEveryLengthAndPlace) {
    const char16_t fillers[] = {u'a', 0x0001, 0x0100, 0x8000, 0x0080, 0xFFFF};
    for (char16_t filler : fillers) {
        for (size_t units = 0; units <= 11; ++units) {
            for (size_t nulAt = 0; nulAt <= units; ++nulAt) {
                std::vector<char16_t> text(units, filler);
                if (nulAt < units) {
                    text[nulAt] = 0;
                    if (nulAt + 1 < units) {
                        text[nulAt + 1] = 0x0001;  // a unit a borrow from the NUL would hide
                    }
                }
                const std::vector<char> bytes = Utf16LeBytes(text);
                EXPECT_EQ(Utf16LeLength(bytes.data() + 1, units), nulAt)
                    << "filler " << int(filler) << ", " << units << " units, NUL at " << nulAt;
            }
        }
    }
}

TEST(Utf16LeText, DecodingStopsAtTheNulAndReadsNoFurther) {
    const std::vector<char> bytes = Utf16LeBytes({u'V', 0x00E9, u'l', 0, u'x', u'y'});
    EXPECT_EQ(DecodeUtf16Le(bytes.data() + 1, 6), QString::fromUtf16(u"V\u00E9l"));
    EXPECT_EQ(DecodeUtf16Le(bytes.data() + 1, 2), QString::fromUtf16(u"V\u00E9"));
    EXPECT_TRUE(DecodeUtf16Le(bytes.data() + 1, 0).isNull());
}

}  // namespace
}  // namespace formats
