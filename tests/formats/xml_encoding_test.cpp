#include "formats/xml_encoding.h"

#include <gtest/gtest.h>

#include "qt_print.h"

namespace formats {
namespace {

using namespace std::string_view_literals;

TEST(DetectXmlEncoding, MarksThenLayoutThenDeclaration) {
    const struct {
        std::string_view bytes;
        XmlEncoding encoding;
    } cases[] = {
        {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", XmlEncoding::kUtf8},
        {"\xFF\xFE<\0"sv, XmlEncoding::kUtf16Le},
        {"\xFE\xFF\0<"sv, XmlEncoding::kUtf16Be},
        {"\xFF\xFE\0\0<\0\0\0"sv, XmlEncoding::kUtf32Le},
        {"\0\0\xFE\xFF\0\0\0<"sv, XmlEncoding::kUtf32Be},
        {"<\0?\0x\0"sv, XmlEncoding::kUtf16Le},
        {"\0<\0?\0x"sv, XmlEncoding::kUtf16Be},
        {"<\0\0\0?\0\0\0"sv, XmlEncoding::kUtf32Le},
        {"<?xml version='1.0' encoding='iso-8859-1'?><gpx/>", XmlEncoding::kLatin1},
        {"<?xml version=\"1.0\" encoding = \"Windows-1252\" ?>", XmlEncoding::kWindows1252},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>", XmlEncoding::kUtf8},
        {"<?xml version=\"1.0\"?><gpx encoding=\"latin1\"/>", XmlEncoding::kUtf8},
        {"<gpx/>", XmlEncoding::kUtf8},
        {"", XmlEncoding::kUtf8},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectXmlEncoding(c.bytes), c.encoding)
            << QByteArray(c.bytes.data(), qsizetype(c.bytes.size())).toHex().constData();
    }
}

TEST(IsValidUtf8, RejectsWhatUtf8CannotHold) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x97\xBA"));  // é € 🗺
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));                      // U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE9t\xE9"));                            // Latin-1 été
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));                             // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));                         // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));                         // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));                     // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));                             // cut short
    EXPECT_FALSE(IsValidUtf8("\xE2\x82x"));
}

TEST(DecodeXmlText, Utf8WhenValidElseWindows1252) {
    EXPECT_EQ(DecodeXmlText("Caf\xC3\xA9"), QStringLiteral("Café"));
    EXPECT_EQ(DecodeXmlText("Caf\xE9 \x80 \x9F \x81"), QStringLiteral("Café € Ÿ \u0081"));
    EXPECT_EQ(DecodeWindows1252("\x8A\x9A\xA0\xFF"), QStringLiteral("Šš\u00A0ÿ"));
}

TEST(ConvertToUtf8, ReencodesAndDropsTheMark) {
    QByteArray utf16(
        "\xFF\xFE"
        "A\0\xE9\0",
        6);
    ConvertToUtf8(utf16, XmlEncoding::kUtf16Le);
    EXPECT_EQ(utf16, QByteArray("A\xC3\xA9"));
    QByteArray latin1("\xE9\x80");
    ConvertToUtf8(latin1, XmlEncoding::kLatin1);
    EXPECT_EQ(latin1, QByteArray("\xC3\xA9\xC2\x80"));
    QByteArray cp1252("\xE9\x80");
    ConvertToUtf8(cp1252, XmlEncoding::kWindows1252);
    EXPECT_EQ(cp1252, QByteArray("\xC3\xA9\xE2\x82\xAC"));
    QByteArray utf8("\xEF\xBB\xBFx");
    ConvertToUtf8(utf8, XmlEncoding::kUtf8);
    EXPECT_EQ(utf8, QByteArray("\xEF\xBB\xBFx"))
        << "UTF-8 stays as it is; the parser skips the mark";
}

}  // namespace
}  // namespace formats
