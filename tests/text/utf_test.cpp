#include "text/utf.h"

#include <gtest/gtest.h>

using namespace lbv;

TEST(Utf, RoundTripsCyrillicThroughUtf8AndUtf16)
{
    const QString text = QStringLiteral("Лев Толстой — War & Peace");
    const QByteArray utf8 = ToUtf8(text);
    EXPECT_EQ(FromUtf8(utf8.constData()), text);
    EXPECT_EQ(FromUtf8(reinterpret_cast<const unsigned char*>(utf8.constData()), utf8.size()), text);
    EXPECT_EQ(FromUtf16(reinterpret_cast<const char16_t*>(text.utf16())), text);
    EXPECT_TRUE(FromUtf8(static_cast<const char*>(nullptr)).isEmpty());
}

TEST(Utf, ValidatesStrictly)
{
    EXPECT_TRUE(IsValidUtf8(QByteArray("plain ascii")));
    EXPECT_TRUE(IsValidUtf8(QByteArray("\xD0\x9B\xD0\xB5\xD0\xB2")));          // Лев
    EXPECT_TRUE(IsValidUtf8(QByteArray("\xF0\x9F\x93\x9A")));                  // U+1F4DA
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xCB\xE5\xE2")));                     // Лев in cp1251
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xC0\xAF")));                         // overlong "/"
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xED\xA0\x80")));                     // surrogate
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xD0")));                             // truncated
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xF4\x90\x80\x80")));                 // past U+10FFFF
}
