// The simulator's command line: any words either parse into options inside their documented
// ranges, or are refused with one line that says why.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "saver/config/settings.h"
#include "tests/fuzz/fuzz_input.h"
#include "tools/sim/sim_options.h"

using namespace vellora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    std::vector<std::string> words = input.RestAsWords(64);
    const std::vector<const char*> argv = fuzz::CommandLine("vellora-sim", words);

    simtool::SimOptions options;
    std::string error;
    const bool ok = simtool::ParseSimOptions(static_cast<int>(argv.size() - 1), argv.data(), options, error);
    if (!ok) {
        if (error.empty()) fuzz::Violation("refused without a message");
        for (const char c : error) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u == 0x7F) fuzz::Violation("the message holds a control character: " + error);
        }
        return 0;
    }
    const Rect& a = options.area;
    if (a.left != 0 || a.top != 0 || a.right < 1 || a.right > 65536 || a.bottom < 1 || a.bottom > 65536)
        fuzz::Violation("an area outside 1 to 65536");
    for (const auto& [key, value] : options.settings) {
        (void)value;
        if (FindSetting(key) == nullptr) fuzz::Violation("an unknown setting was taken: " + key);
    }
    if (options.dumpEvery == 0 && size > 0) {
        // 0 is the default, "only the first and last frame"; --dump-every never gives it.
        for (std::size_t i = 0; i + 1 < words.size(); ++i)
            if (words[i] == "--dump-every") fuzz::Violation("--dump-every took 0");
    }
    return 0;
}
