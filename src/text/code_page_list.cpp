#include "text/code_page_list.h"

namespace lbv {
namespace {

// Names and display names follow the usual Windows charset list, so stored settings such as
// "1251,windows-1251" keep their meaning. A few pages ICU knows only by another name point at
// their nearest ICU converter (x-mac-ukrainian shares the Mac Cyrillic table, the CNS and
// Wansung pages use the EUC forms). The UTF-16 and UTF-32 pages read without a byte-order mark.
constexpr CodePageEntry kEntries[] = {
    {37, "IBM037", "IBM EBCDIC (US-Canada)"},
    {437, "IBM437", "OEM United States"},
    {500, "IBM500", "IBM EBCDIC (International)"},
    {708, "ASMO-708", "Arabic (ASMO 708)"},
    {720, "DOS-720", "Arabic (DOS)"},
    {737, "ibm737", "Greek (DOS)"},
    {775, "ibm775", "Baltic (DOS)"},
    {850, "ibm850", "Western European (DOS)"},
    {852, "ibm852", "Central European (DOS)"},
    {855, "IBM855", "OEM Cyrillic"},
    {857, "ibm857", "Turkish (DOS)"},
    {858, "IBM00858", "OEM Multilingual Latin I"},
    {860, "IBM860", "Portuguese (DOS)"},
    {861, "ibm861", "Icelandic (DOS)"},
    {862, "DOS-862", "Hebrew (DOS)"},
    {863, "IBM863", "French Canadian (DOS)"},
    {865, "IBM865", "Nordic (DOS)"},
    {866, "cp866", "Cyrillic (DOS)", nullptr, {"ibm866", "csIBM866"}},
    {869, "ibm869", "Greek, Modern (DOS)"},
    {870, "IBM870", "IBM EBCDIC (Multilingual Latin-2)"},
    {874, "windows-874", "Thai (Windows)"},
    {875, "cp875", "IBM EBCDIC (Greek Modern)"},
    {932, "shift_jis", "Japanese (Shift-JIS)", "windows-932"},
    {936, "gb2312", "Chinese Simplified (GB2312)", "windows-936"},
    {949, "ks_c_5601-1987", "Korean", "windows-949"},
    {950, "big5", "Chinese Traditional (Big5)", "windows-950"},
    {1026, "IBM1026", "IBM EBCDIC (Turkish Latin-5)"},
    {1047, "IBM01047", "IBM Latin-1"},
    {1125, "cp1125", "Ukrainian (DOS)", "ibm-1125"},
    {1131, "cp1131", "Belarusian (DOS)", "ibm-1131"},
    {1140, "IBM01140", "IBM EBCDIC (US-Canada-Euro)"},
    {1141, "IBM01141", "IBM EBCDIC (Germany-Euro)"},
    {1142, "IBM01142", "IBM EBCDIC (Denmark-Norway-Euro)"},
    {1143, "IBM01143", "IBM EBCDIC (Finland-Sweden-Euro)"},
    {1144, "IBM01144", "IBM EBCDIC (Italy-Euro)"},
    {1145, "IBM01145", "IBM EBCDIC (Spain-Euro)"},
    {1146, "IBM01146", "IBM EBCDIC (UK-Euro)"},
    {1147, "IBM01147", "IBM EBCDIC (France-Euro)"},
    {1148, "IBM01148", "IBM EBCDIC (International-Euro)"},
    {1149, "IBM01149", "IBM EBCDIC (Icelandic-Euro)"},
    {1200, "utf-16", "Unicode", "UTF-16LE"},
    {1201, "unicodeFFFE", "Unicode (Big endian)", "UTF-16BE"},
    {1250, "windows-1250", "Central European (Windows)"},
    {1251, "windows-1251", "Cyrillic (Windows)", nullptr, {"cp1251", "x-cp1251"}},
    {1252, "Windows-1252", "Western European (Windows)", nullptr, {"cp1252", "x-ansi"}},
    {1253, "windows-1253", "Greek (Windows)"},
    {1254, "windows-1254", "Turkish (Windows)"},
    {1255, "windows-1255", "Hebrew (Windows)"},
    {1256, "windows-1256", "Arabic (Windows)"},
    {1257, "windows-1257", "Baltic (Windows)"},
    {1258, "windows-1258", "Vietnamese (Windows)"},
    {10000, "macintosh", "Western European (Mac)"},
    {10006, "x-mac-greek", "Greek (Mac)"},
    {10007, "x-mac-cyrillic", "Cyrillic (Mac)"},
    {10017, "x-mac-ukrainian", "Ukrainian (Mac)", "x-MacUkraine"},
    {10029, "x-mac-ce", "Central European (Mac)"},
    {10081, "x-mac-turkish", "Turkish (Mac)"},
    {12000, "utf-32", "Unicode (UTF-32)", "UTF-32LE"},
    {12001, "utf-32BE", "Unicode (UTF-32 Big endian)", "UTF-32BE"},
    {20000, "x-Chinese-CNS", "Chinese Traditional (CNS)", "EUC-TW"},
    {20127, "us-ascii", "US-ASCII"},
    {20273, "IBM273", "IBM EBCDIC (Germany)"},
    {20277, "IBM277", "IBM EBCDIC (Denmark-Norway)"},
    {20278, "IBM278", "IBM EBCDIC (Finland-Sweden)"},
    {20280, "IBM280", "IBM EBCDIC (Italy)"},
    {20284, "IBM284", "IBM EBCDIC (Spain)"},
    {20285, "IBM285", "IBM EBCDIC (UK)"},
    {20290, "IBM290", "IBM EBCDIC (Japanese katakana)"},
    {20297, "IBM297", "IBM EBCDIC (France)"},
    {20420, "IBM420", "IBM EBCDIC (Arabic)"},
    {20424, "IBM424", "IBM EBCDIC (Hebrew)"},
    {20838, "IBM-Thai", "IBM EBCDIC (Thai)"},
    {20866, "koi8-r", "Cyrillic (KOI8-R)", nullptr, {"koi8", "csKOI8R"}},
    {20871, "IBM871", "IBM EBCDIC (Icelandic)"},
    {20932, "EUC-JP", "Japanese (JIS 0208-1990 and 0212-1990)"},
    {20936, "x-cp20936", "Chinese Simplified (GB2312-80)", "EUC-CN"},
    {20949, "x-cp20949", "Korean Wansung", "EUC-KR"},
    {21025, "cp1025", "IBM EBCDIC (Cyrillic Serbian-Bulgarian)"},
    {21866, "koi8-u", "Cyrillic (KOI8-U)"},
    {28591, "iso-8859-1", "Western European (ISO)"},
    {28592, "iso-8859-2", "Central European (ISO)"},
    {28593, "iso-8859-3", "Latin 3 (ISO)"},
    {28594, "iso-8859-4", "Baltic (ISO)"},
    {28595, "iso-8859-5", "Cyrillic (ISO)", nullptr, {"iso_8859-5", "csISOLatinCyrillic"}},
    {28596, "iso-8859-6", "Arabic (ISO)"},
    {28597, "iso-8859-7", "Greek (ISO)"},
    {28598, "iso-8859-8", "Hebrew (ISO-Visual)"},
    {28599, "iso-8859-9", "Turkish (ISO)"},
    {28600, "iso-8859-10", "Nordic (ISO)"},
    {28601, "iso-8859-11", "Thai (ISO)"},
    {28603, "iso-8859-13", "Estonian (ISO)"},
    {28604, "iso-8859-14", "Celtic (ISO)"},
    {28605, "iso-8859-15", "Latin 9 (ISO)"},
    {38598, "iso-8859-8-i", "Hebrew (ISO-Logical)"},
    {50220, "iso-2022-jp", "Japanese (JIS)"},
    {50221, "csISO2022JP", "Japanese (JIS-Allow 1 byte Kana)"},
    {50222, "iso-2022-jp", "Japanese (JIS-Allow 1 byte Kana - SO/SI)"},
    {50225, "iso-2022-kr", "Korean (ISO)"},
    {50227, "x-cp50227", "Chinese Simplified (ISO-2022)", "ISO-2022-CN"},
    {50229, "x-cp50229", "Chinese Traditional (ISO-2022)", "ISO-2022-CN-EXT"},
    {51932, "euc-jp", "Japanese (EUC)"},
    {51936, "EUC-CN", "Chinese Simplified (EUC)"},
    {51949, "euc-kr", "Korean (EUC)"},
    {52936, "hz-gb-2312", "Chinese Simplified (HZ)"},
    {54936, "GB18030", "Chinese Simplified (GB18030)"},
    {57002, "x-iscii-de", "ISCII Devanagari"},
    {57003, "x-iscii-be", "ISCII Bengali"},
    {57004, "x-iscii-ta", "ISCII Tamil"},
    {57005, "x-iscii-te", "ISCII Telugu"},
    {57006, "x-iscii-as", "ISCII Assamese"},
    {57007, "x-iscii-or", "ISCII Oriya"},
    {57008, "x-iscii-ka", "ISCII Kannada"},
    {57009, "x-iscii-ma", "ISCII Malayalam"},
    {57010, "x-iscii-gu", "ISCII Gujarati"},
    {57011, "x-iscii-pa", "ISCII Punjabi"},
    {65000, "utf-7", "Unicode (UTF-7)"},
    {65001, "utf-8", "Unicode (UTF-8)", nullptr, {"utf8", "unicode-1-1-utf-8"}},
};

constexpr bool IsSortedByNumber()
{
    for (std::size_t i = 1; i < std::size(kEntries); ++i)
        if (kEntries[i - 1].number >= kEntries[i].number)
            return false;
    return true;
}
static_assert(IsSortedByNumber(), "code pages must be sorted by number");

} // namespace

std::span<const CodePageEntry> CodePageEntries()
{
    return kEntries;
}

} // namespace lbv
