#include "jet/write/general_sort_key.h"

#include <array>
#include <string>

namespace jet::write {
namespace {

// How the General order weighs one character. Taken from what Access itself stored for the characters
// U+0001..U+00FF in a real index (the test index_key_test checks every entry of the Access files
// against this table).
struct CharWeights {
    std::array<std::uint8_t, 4> primary;  // sort weights, in the text part of the key
    std::uint8_t primaryLength;           // 0: the character has no sort weight and goes to the last section
    std::uint8_t secondary;               // its accent weight (0x02: none), or its code in the last section
};

constexpr std::uint8_t kNoAccent = 0x02;
constexpr std::uint8_t kSectionEnd = 0x01;
constexpr std::uint8_t kPositionedMark = 0x06;

constexpr std::array<CharWeights, 255> kLatin1 = {{
    {{}, 0, 0x03},                           // 01 U+0001
    {{}, 0, 0x04},                           // 02 U+0002
    {{}, 0, 0x05},                           // 03 U+0003
    {{}, 0, 0x06},                           // 04 U+0004
    {{}, 0, 0x07},                           // 05 U+0005
    {{}, 0, 0x08},                           // 06 U+0006
    {{}, 0, 0x09},                           // 07 U+0007
    {{}, 0, 0x0a},                           // 08 U+0008
    {{0x08, 0x03}, 2, 0x02},                 // 09 U+0009
    {{0x08, 0x04}, 2, 0x02},                 // 0A U+000A
    {{0x08, 0x05}, 2, 0x02},                 // 0B U+000B
    {{0x08, 0x06}, 2, 0x02},                 // 0C U+000C
    {{0x08, 0x07}, 2, 0x02},                 // 0D U+000D
    {{}, 0, 0x0b},                           // 0E U+000E
    {{}, 0, 0x0c},                           // 0F U+000F
    {{}, 0, 0x0d},                           // 10 U+0010
    {{}, 0, 0x0e},                           // 11 U+0011
    {{}, 0, 0x0f},                           // 12 U+0012
    {{}, 0, 0x10},                           // 13 U+0013
    {{}, 0, 0x11},                           // 14 U+0014
    {{}, 0, 0x12},                           // 15 U+0015
    {{}, 0, 0x13},                           // 16 U+0016
    {{}, 0, 0x14},                           // 17 U+0017
    {{}, 0, 0x15},                           // 18 U+0018
    {{}, 0, 0x16},                           // 19 U+0019
    {{}, 0, 0x17},                           // 1A U+001A
    {{}, 0, 0x18},                           // 1B U+001B
    {{}, 0, 0x19},                           // 1C U+001C
    {{}, 0, 0x1a},                           // 1D U+001D
    {{}, 0, 0x1b},                           // 1E U+001E
    {{}, 0, 0x1c},                           // 1F U+001F
    {{0x07}, 1, 0x02},                       // 20 space
    {{0x09}, 1, 0x02},                       // 21 !
    {{0x0a}, 1, 0x02},                       // 22 "
    {{0x0c}, 1, 0x02},                       // 23 #
    {{0x0e}, 1, 0x02},                       // 24 $
    {{0x10}, 1, 0x02},                       // 25 %
    {{0x12}, 1, 0x02},                       // 26 &
    {{}, 0, 0x80},                           // 27 '
    {{0x14}, 1, 0x02},                       // 28 (
    {{0x16}, 1, 0x02},                       // 29 )
    {{0x18}, 1, 0x02},                       // 2A *
    {{0x2c}, 1, 0x02},                       // 2B +
    {{0x1a}, 1, 0x02},                       // 2C ,
    {{}, 0, 0x82},                           // 2D -
    {{0x1c}, 1, 0x02},                       // 2E .
    {{0x1e}, 1, 0x02},                       // 2F /
    {{0x36}, 1, 0x02},                       // 30 0
    {{0x38}, 1, 0x02},                       // 31 1
    {{0x3a}, 1, 0x02},                       // 32 2
    {{0x3c}, 1, 0x02},                       // 33 3
    {{0x3e}, 1, 0x02},                       // 34 4
    {{0x40}, 1, 0x02},                       // 35 5
    {{0x42}, 1, 0x02},                       // 36 6
    {{0x44}, 1, 0x02},                       // 37 7
    {{0x46}, 1, 0x02},                       // 38 8
    {{0x48}, 1, 0x02},                       // 39 9
    {{0x20}, 1, 0x02},                       // 3A :
    {{0x22}, 1, 0x02},                       // 3B ;
    {{0x2e}, 1, 0x02},                       // 3C <
    {{0x30}, 1, 0x02},                       // 3D =
    {{0x32}, 1, 0x02},                       // 3E >
    {{0x24}, 1, 0x02},                       // 3F ?
    {{0x26}, 1, 0x02},                       // 40 @
    {{0x4a}, 1, 0x02},                       // 41 A
    {{0x4c}, 1, 0x02},                       // 42 B
    {{0x4d}, 1, 0x02},                       // 43 C
    {{0x4f}, 1, 0x02},                       // 44 D
    {{0x51}, 1, 0x02},                       // 45 E
    {{0x53}, 1, 0x02},                       // 46 F
    {{0x55}, 1, 0x02},                       // 47 G
    {{0x57}, 1, 0x02},                       // 48 H
    {{0x59}, 1, 0x02},                       // 49 I
    {{0x5b}, 1, 0x02},                       // 4A J
    {{0x5c}, 1, 0x02},                       // 4B K
    {{0x5e}, 1, 0x02},                       // 4C L
    {{0x60}, 1, 0x02},                       // 4D M
    {{0x62}, 1, 0x02},                       // 4E N
    {{0x64}, 1, 0x02},                       // 4F O
    {{0x66}, 1, 0x02},                       // 50 P
    {{0x68}, 1, 0x02},                       // 51 Q
    {{0x69}, 1, 0x02},                       // 52 R
    {{0x6b}, 1, 0x02},                       // 53 S
    {{0x6d}, 1, 0x02},                       // 54 T
    {{0x6f}, 1, 0x02},                       // 55 U
    {{0x71}, 1, 0x02},                       // 56 V
    {{0x73}, 1, 0x02},                       // 57 W
    {{0x75}, 1, 0x02},                       // 58 X
    {{0x76}, 1, 0x02},                       // 59 Y
    {{0x78}, 1, 0x02},                       // 5A Z
    {{0x27}, 1, 0x02},                       // 5B [
    {{0x29}, 1, 0x02},                       // 5C backslash
    {{0x2a}, 1, 0x02},                       // 5D ]
    {{0x2b, 0x02}, 2, 0x02},                 // 5E ^
    {{0x2b, 0x03}, 2, 0x02},                 // 5F _
    {{0x2b, 0x07}, 2, 0x02},                 // 60 `
    {{0x4a}, 1, 0x02},                       // 61 a
    {{0x4c}, 1, 0x02},                       // 62 b
    {{0x4d}, 1, 0x02},                       // 63 c
    {{0x4f}, 1, 0x02},                       // 64 d
    {{0x51}, 1, 0x02},                       // 65 e
    {{0x53}, 1, 0x02},                       // 66 f
    {{0x55}, 1, 0x02},                       // 67 g
    {{0x57}, 1, 0x02},                       // 68 h
    {{0x59}, 1, 0x02},                       // 69 i
    {{0x5b}, 1, 0x02},                       // 6A j
    {{0x5c}, 1, 0x02},                       // 6B k
    {{0x5e}, 1, 0x02},                       // 6C l
    {{0x60}, 1, 0x02},                       // 6D m
    {{0x62}, 1, 0x02},                       // 6E n
    {{0x64}, 1, 0x02},                       // 6F o
    {{0x66}, 1, 0x02},                       // 70 p
    {{0x68}, 1, 0x02},                       // 71 q
    {{0x69}, 1, 0x02},                       // 72 r
    {{0x6b}, 1, 0x02},                       // 73 s
    {{0x6d}, 1, 0x02},                       // 74 t
    {{0x6f}, 1, 0x02},                       // 75 u
    {{0x71}, 1, 0x02},                       // 76 v
    {{0x73}, 1, 0x02},                       // 77 w
    {{0x75}, 1, 0x02},                       // 78 x
    {{0x76}, 1, 0x02},                       // 79 y
    {{0x78}, 1, 0x02},                       // 7A z
    {{0x2b, 0x09}, 2, 0x02},                 // 7B {
    {{0x2b, 0x0b}, 2, 0x02},                 // 7C |
    {{0x2b, 0x0d}, 2, 0x02},                 // 7D }
    {{0x2b, 0x0f}, 2, 0x02},                 // 7E ~
    {{}, 0, 0x1d},                           // 7F U+007F
    {{}, 0, 0x1e},                           // 80 U+0080
    {{}, 0, 0x1f},                           // 81 U+0081
    {{}, 0, 0x20},                           // 82 U+0082
    {{}, 0, 0x21},                           // 83 U+0083
    {{}, 0, 0x22},                           // 84 U+0084
    {{}, 0, 0x23},                           // 85 U+0085
    {{}, 0, 0x24},                           // 86 U+0086
    {{}, 0, 0x25},                           // 87 U+0087
    {{}, 0, 0x26},                           // 88 U+0088
    {{}, 0, 0x27},                           // 89 U+0089
    {{}, 0, 0x28},                           // 8A U+008A
    {{}, 0, 0x29},                           // 8B U+008B
    {{}, 0, 0x2a},                           // 8C U+008C
    {{}, 0, 0x2b},                           // 8D U+008D
    {{}, 0, 0x2c},                           // 8E U+008E
    {{}, 0, 0x2d},                           // 8F U+008F
    {{}, 0, 0x2e},                           // 90 U+0090
    {{}, 0, 0x2f},                           // 91 U+0091
    {{}, 0, 0x30},                           // 92 U+0092
    {{}, 0, 0x31},                           // 93 U+0093
    {{}, 0, 0x32},                           // 94 U+0094
    {{}, 0, 0x33},                           // 95 U+0095
    {{}, 0, 0x34},                           // 96 U+0096
    {{}, 0, 0x35},                           // 97 U+0097
    {{}, 0, 0x36},                           // 98 U+0098
    {{}, 0, 0x37},                           // 99 U+0099
    {{}, 0, 0x38},                           // 9A U+009A
    {{}, 0, 0x39},                           // 9B U+009B
    {{}, 0, 0x3a},                           // 9C U+009C
    {{}, 0, 0x3b},                           // 9D U+009D
    {{}, 0, 0x3c},                           // 9E U+009E
    {{}, 0, 0x3d},                           // 9F U+009F
    {{0x08, 0x02}, 2, 0x02},                 // A0 no-break space
    {{0x2b, 0x10}, 2, 0x02},                 // A1 ¡
    {{0x34, 0xa6}, 2, 0x02},                 // A2 ¢
    {{0x34, 0xa7}, 2, 0x02},                 // A3 £
    {{0x34, 0xa8}, 2, 0x02},                 // A4 ¤
    {{0x34, 0xa9}, 2, 0x02},                 // A5 ¥
    {{0x2b, 0x11}, 2, 0x02},                 // A6 ¦
    {{0x34, 0xaa}, 2, 0x02},                 // A7 §
    {{0x2b, 0x12}, 2, 0x02},                 // A8 ¨
    {{0x34, 0xab}, 2, 0x02},                 // A9 ©
    {{0x4a}, 1, 0x03},                       // AA ª
    {{0x33, 0x05}, 2, 0x02},                 // AB «
    {{0x34, 0xac}, 2, 0x02},                 // AC ¬
    {{}, 0, 0x83},                           // AD soft hyphen
    {{0x34, 0xad}, 2, 0x02},                 // AE ®
    {{0x2b, 0x13}, 2, 0x02},                 // AF ¯
    {{0x34, 0xae}, 2, 0x02},                 // B0 °
    {{0x33, 0x04}, 2, 0x02},                 // B1 ±
    {{0x3a}, 1, 0x02},                       // B2 ²
    {{0x3c}, 1, 0x02},                       // B3 ³
    {{0x2b, 0x14}, 2, 0x02},                 // B4 ´
    {{0x34, 0xaf}, 2, 0x02},                 // B5 µ
    {{0x34, 0xb0}, 2, 0x02},                 // B6 ¶
    {{0x34, 0xb1}, 2, 0x02},                 // B7 ·
    {{0x2b, 0x15}, 2, 0x02},                 // B8 ¸
    {{0x38}, 1, 0x02},                       // B9 ¹
    {{0x64}, 1, 0x03},                       // BA º
    {{0x33, 0x07}, 2, 0x02},                 // BB »
    {{0x37, 0x12}, 2, 0x02},                 // BC ¼
    {{0x37, 0x16}, 2, 0x02},                 // BD ½
    {{0x37, 0x1a}, 2, 0x02},                 // BE ¾
    {{0x2b, 0x16}, 2, 0x02},                 // BF ¿
    {{0x4a}, 1, 0x0f},                       // C0 À
    {{0x4a}, 1, 0x0e},                       // C1 Á
    {{0x4a}, 1, 0x12},                       // C2 Â
    {{0x4a}, 1, 0x19},                       // C3 Ã
    {{0x4a}, 1, 0x13},                       // C4 Ä
    {{0x4a}, 1, 0x1a},                       // C5 Å
    {{0x4a, 0x51}, 2, 0x02},                 // C6 Æ
    {{0x4d}, 1, 0x1c},                       // C7 Ç
    {{0x51}, 1, 0x0f},                       // C8 È
    {{0x51}, 1, 0x0e},                       // C9 É
    {{0x51}, 1, 0x12},                       // CA Ê
    {{0x51}, 1, 0x13},                       // CB Ë
    {{0x59}, 1, 0x0f},                       // CC Ì
    {{0x59}, 1, 0x0e},                       // CD Í
    {{0x59}, 1, 0x12},                       // CE Î
    {{0x59}, 1, 0x13},                       // CF Ï
    {{0x4f}, 1, 0x68},                       // D0 Ð
    {{0x62}, 1, 0x19},                       // D1 Ñ
    {{0x64}, 1, 0x0f},                       // D2 Ò
    {{0x64}, 1, 0x0e},                       // D3 Ó
    {{0x64}, 1, 0x12},                       // D4 Ô
    {{0x64}, 1, 0x19},                       // D5 Õ
    {{0x64}, 1, 0x13},                       // D6 Ö
    {{0x33, 0x09}, 2, 0x02},                 // D7 ×
    {{0x64}, 1, 0x21},                       // D8 Ø
    {{0x6f}, 1, 0x0f},                       // D9 Ù
    {{0x6f}, 1, 0x0e},                       // DA Ú
    {{0x6f}, 1, 0x12},                       // DB Û
    {{0x6f}, 1, 0x13},                       // DC Ü
    {{0x76}, 1, 0x0e},                       // DD Ý
    {{0x6d, 0x57}, 2, 0x02},                 // DE Þ
    {{0x6b, 0x6b}, 2, 0x02},                 // DF ß
    {{0x4a}, 1, 0x0f},                       // E0 à
    {{0x4a}, 1, 0x0e},                       // E1 á
    {{0x4a}, 1, 0x12},                       // E2 â
    {{0x4a}, 1, 0x19},                       // E3 ã
    {{0x4a}, 1, 0x13},                       // E4 ä
    {{0x4a}, 1, 0x1a},                       // E5 å
    {{0x4a, 0x51}, 2, 0x02},                 // E6 æ
    {{0x4d}, 1, 0x1c},                       // E7 ç
    {{0x51}, 1, 0x0f},                       // E8 è
    {{0x51}, 1, 0x0e},                       // E9 é
    {{0x51}, 1, 0x12},                       // EA ê
    {{0x51}, 1, 0x13},                       // EB ë
    {{0x59}, 1, 0x0f},                       // EC ì
    {{0x59}, 1, 0x0e},                       // ED í
    {{0x59}, 1, 0x12},                       // EE î
    {{0x59}, 1, 0x13},                       // EF ï
    {{0x4f}, 1, 0x68},                       // F0 ð
    {{0x62}, 1, 0x19},                       // F1 ñ
    {{0x64}, 1, 0x0f},                       // F2 ò
    {{0x64}, 1, 0x0e},                       // F3 ó
    {{0x64}, 1, 0x12},                       // F4 ô
    {{0x64}, 1, 0x19},                       // F5 õ
    {{0x64}, 1, 0x13},                       // F6 ö
    {{0x33, 0x0a}, 2, 0x02},                 // F7 ÷
    {{0x64}, 1, 0x21},                       // F8 ø
    {{0x6f}, 1, 0x0f},                       // F9 ù
    {{0x6f}, 1, 0x0e},                       // FA ú
    {{0x6f}, 1, 0x12},                       // FB û
    {{0x6f}, 1, 0x13},                       // FC ü
    {{0x76}, 1, 0x0e},                       // FD ý
    {{0x6d, 0x57}, 2, 0x02},                 // FE þ
    {{0x76}, 1, 0x13},                       // FF ÿ
}};

// The code points of a UTF-8 text, at most `limit` of them; nothing when the bytes are not UTF-8.
std::optional<std::u32string> codePoints(std::string_view text, std::size_t limit)
{
    std::u32string out;
    for (std::size_t i = 0; i < text.size() && out.size() < limit;) {
        const auto lead = std::uint8_t(text[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xe ? 3 : (lead >> 3) == 0x1e ? 4 : 0;
        if (length == 0 || i + std::size_t(length) > text.size())
            return std::nullopt;
        char32_t c = length == 1 ? lead : lead & (0x7f >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = std::uint8_t(text[i + std::size_t(k)]);
            if ((next & 0xc0) != 0x80)
                return std::nullopt;
            c = c << 6 | (next & 0x3f);
        }
        constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < smallest[length] || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff))
            return std::nullopt;
        out.push_back(c);
        i += std::size_t(length);
    }
    return out;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> generalSortWeights(std::string_view utf8)
{
    const auto text = codePoints(utf8, KeyedTextLength);
    if (!text)
        return std::nullopt;
    std::vector<std::uint8_t> weights, accents, positioned;
    std::size_t weighed = 0;  // characters so far that have sort weights
    for (const char32_t c : *text) {
        if (c == 0 || c > 0xff)
            return std::nullopt;
        const CharWeights& w = kLatin1[c - 1];
        if (w.primaryLength == 0) {
            // Kept apart with the place it had among the weighed characters.
            const unsigned place = 0x8000u | unsigned(7 + 4 * weighed);
            positioned.insert(positioned.end(), {std::uint8_t(place >> 8), std::uint8_t(place), kPositionedMark, w.secondary});
            continue;
        }
        weights.insert(weights.end(), w.primary.begin(), w.primary.begin() + w.primaryLength);
        accents.push_back(w.secondary);
        ++weighed;
    }
    while (!accents.empty() && accents.back() == kNoAccent)
        accents.pop_back();
    weights.push_back(kSectionEnd);
    weights.insert(weights.end(), accents.begin(), accents.end());
    if (!positioned.empty()) {
        // The case and East Asian sections between stay empty: Jet ignores case.
        weights.insert(weights.end(), {kSectionEnd, kSectionEnd, kSectionEnd});
        weights.insert(weights.end(), positioned.begin(), positioned.end());
    }
    return weights;
}

}  // namespace jet::write
