// The installer's version-text parse on any text: never reads past the text, gives the same
// number every time, and reads any four numbers written in any of the ways "%i" takes them
// (decimal, hexadecimal, octal, signed, after blanks, '.' or ',' between) into their low bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "installer/core/version_pack.h"
#include "tests/fuzz/fuzz_input.h"

using namespace vellora;

namespace {

// One number as "%i" reads it, in a notation the fuzzer picks; the low byte it stands for.
std::string Written(std::uint32_t number, std::uint8_t how, std::uint8_t& lowByte) {
    char text[32];
    const char* blanks[] = {"", " ", "\t", "  \n"};
    const char* blank = blanks[(how >> 4) & 3];
    switch (how & 3) {
    case 0: std::snprintf(text, sizeof text, "%s%u", blank, number); break;
    case 1: std::snprintf(text, sizeof text, "%s0x%x", blank, number); break;
    case 2: std::snprintf(text, sizeof text, "%s0%o", blank, number); break;
    default: std::snprintf(text, sizeof text, "%s-%u", blank, number); break;
    }
    lowByte = static_cast<std::uint8_t>((how & 3) == 3 ? 0u - number : number);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Any text at all (it ends at the first NUL byte, as the version block's text does).
    const std::string any(reinterpret_cast<const char*>(data), size);
    const std::uint32_t once = installer::PackVersionText(any.c_str());
    if (installer::PackVersionText(any.c_str()) != once) fuzz::Violation("two readings of one text differ");

    // Four numbers written out: they come back as the four bytes, the first highest.
    fuzz::Input input(data, size);
    std::string text;
    std::uint32_t expected = 0;
    for (int field = 0; field < 4; ++field) {
        const auto number = input.Take<std::uint32_t>();
        const auto how = input.Take<std::uint8_t>();
        std::uint8_t low = 0;
        if (field > 0) text += (how & 0x40) ? "," : ".";
        text += Written(number, how, low);
        expected = (expected << 8) | low;
    }
    if (installer::PackVersionText(text.c_str()) != expected)
        fuzz::Violation("\"" + text + "\" does not pack to its four numbers");
    return 0;
}
