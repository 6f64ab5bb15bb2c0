// Figures as the benchmark table shows them, and its rows. Shared by the host and Windows
// benchmarks so that both print the same way.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vellora::bench {

inline std::string Fixed(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

// Three significant figures in ns, µs, ms or s.
inline std::string Duration(double seconds) {
    const char* unit = "s";
    double v = seconds;
    if (seconds < 1e-6) {
        v = seconds * 1e9;
        unit = "ns";
    } else if (seconds < 1e-3) {
        v = seconds * 1e6;
        unit = "µs";
    } else if (seconds < 1.0) {
        v = seconds * 1e3;
        unit = "ms";
    }
    return Fixed(v, v < 10 ? 2 : (v < 100 ? 1 : 0)) + " " + unit;
}

// With thousands separators: 100,000.
inline std::string Count(std::int64_t n) {
    std::string digits = std::to_string(n < 0 ? -n : n), out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

// | Measure | Case | Result | Compared with |
inline void Row(std::FILE* out, const std::string& measure, const std::string& scase, const std::string& result,
                const std::string& compared) {
    std::fprintf(out, "| %s | %s | %s | %s |\n", measure.c_str(), scase.c_str(), result.c_str(), compared.c_str());
    std::fflush(out);
}

}  // namespace vellora::bench
