// The run-mode decision on any command line: always one mode, the same every time, and the
// switches the system passes keep their modes whatever follows them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "saver/app/run_mode.h"
#include "tests/fuzz/fuzz_input.h"

using namespace vellora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    std::vector<std::string> words = input.RestAsWords(8);
    const std::vector<const char*> argv = fuzz::CommandLine("VelloraSaver.scr", words);
    const int argc = static_cast<int>(argv.size() - 1);

    const RunMode mode = SelectRunMode(argc, argv.data());
    if (mode != SelectRunMode(argc, argv.data())) fuzz::Violation("two decisions on one command line");
    switch (mode) {
    case RunMode::Configure:
    case RunMode::Preview:
    case RunMode::FullScreen:
    case RunMode::Uninstall:
    case RunMode::None:
        break;
    default:
        fuzz::Violation("a mode outside the five");
    }
    if (argc < 2) {
        if (mode != RunMode::Configure) fuzz::Violation("no argument does not configure");
        return 0;
    }
    const std::string first = argv[1];
    // What follows the first argument never changes the mode.
    if (SelectRunMode(2, argv.data()) != mode) fuzz::Violation("a later argument changed the mode");
    if ((first == "/s" || first == "-s" || first == "s") && mode != RunMode::FullScreen)
        fuzz::Violation("/s does not run full screen");
    if ((first == "/p" || first == "-P" || first == "p") && mode != RunMode::Preview) fuzz::Violation("/p does not preview");
    if (first == "-UNINSTALL" && mode != RunMode::Uninstall) fuzz::Violation("-UNINSTALL does not uninstall");
    if (mode == RunMode::Uninstall && first != "-UNINSTALL") fuzz::Violation("uninstall from " + first);
    if (mode == RunMode::Preview && !MatchSwitch(first.c_str(), "p")) fuzz::Violation("preview from " + first);
    return 0;
}
