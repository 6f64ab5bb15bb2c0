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
    // What was taken, written out as a command line again, is taken the same way.
    std::vector<std::string> again{"--size", std::to_string(a.right) + "x" + std::to_string(a.bottom), "--frames",
                                   std::to_string(options.frames)};
    if (options.seedGiven) again.insert(again.end(), {"--seed", std::to_string(options.seed)});
    if (options.dumpEvery != 0) again.insert(again.end(), {"--dump-every", std::to_string(options.dumpEvery)});
    if (options.preview) again.push_back("--preview");
    if (options.help) again.push_back("--help");
    for (const auto& [key, value] : options.settings) again.insert(again.end(), {"--set", key + "=" + std::to_string(value)});
    if (!options.pngDir.empty()) again.insert(again.end(), {"--png", options.pngDir});
    const std::vector<const char*> argvAgain = fuzz::CommandLine("vellora-sim", again);
    simtool::SimOptions second;
    if (!simtool::ParseSimOptions(static_cast<int>(argvAgain.size() - 1), argvAgain.data(), second, error))
        fuzz::Violation("options written out again are refused: " + error);
    if (second.area != options.area || second.seedGiven != options.seedGiven || second.seed != options.seed ||
        second.frames != options.frames || second.dumpEvery != options.dumpEvery || second.preview != options.preview ||
        second.settings != options.settings || second.pngDir != options.pngDir || second.help != options.help)
        fuzz::Violation("options written out again are taken otherwise");
    return 0;
}
