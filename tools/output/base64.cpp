#include "output/base64.h"

namespace tool {

void writeBase64(OutputBuffer& out, std::string_view bytes)
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        unsigned v = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
        char* p = out.reserve(4);
        p[0] = alphabet[v >> 18];
        p[1] = alphabet[(v >> 12) & 63];
        p[2] = alphabet[(v >> 6) & 63];
        p[3] = alphabet[v & 63];
        out.commit(4);
    }
    std::size_t rest = bytes.size() - i;
    if (rest == 0)
        return;
    unsigned v = byte(i) << 16 | (rest == 2 ? byte(i + 1) << 8 : 0);
    char* p = out.reserve(4);
    p[0] = alphabet[v >> 18];
    p[1] = alphabet[(v >> 12) & 63];
    p[2] = rest == 2 ? alphabet[(v >> 6) & 63] : '=';
    p[3] = '=';
    out.commit(4);
}

}  // namespace tool
