#include "installer/core/version_pack.h"

namespace vellora::installer {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The value of c as a digit of base, or -1.
int DigitValue(char c, unsigned base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

// Reads a number from [p, end) as "%i" does. False when the token holds no number. The value
// wraps modulo 2^32; only its low byte is used.
bool ReadInteger(const char* p, const char* end, std::uint32_t& value) {
    while (p < end && IsSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    unsigned base = 10;
    if (p < end && *p == '0') {
        // "0x" counts as hexadecimal only when a hexadecimal digit follows; otherwise the 0 is the
        // number and the x ends it.
        if (end - p > 2 && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2], 16) >= 0) {
            base = 16;
            p += 2;
        } else {
            base = 8;
        }
    }
    std::uint32_t number = 0;
    bool any = false;
    for (int digit; p < end && (digit = DigitValue(*p, base)) >= 0; ++p) {
        number = number * base + static_cast<std::uint32_t>(digit);
        any = true;
    }
    if (!any) return false;
    value = negative ? 0u - number : number;
    return true;
}

}  // namespace

std::uint32_t PackVersionText(const char* text) {
    std::uint32_t packed = 0;
    int fields = 0;
    if (text != nullptr) {
        const char* token = text;
        while (fields < 4) {
            const char* end = token;
            while (*end != '\0' && *end != '.' && *end != ',') ++end;
            std::uint32_t number = 0;
            if (!ReadInteger(token, end, number)) break;
            packed = (packed << 8) | (number & 0xFFu);
            ++fields;
            if (*end == '\0') break;
            token = end + 1;
        }
    }
    for (; fields < 4; ++fields) packed <<= 8;
    return packed;
}

}  // namespace vellora::installer
