// The uninstall batch for any module path: either it is refused (an empty text, for a path that
// holds what no Windows path holds: a control character or a double quote), or it is exactly the
// batch's eleven lines, each ended by CR LF, with the path quoted on the two lines that name it and
// read back literally by the command processor ('%' doubled, nothing else that could end the quote
// or the line).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "saver/app/uninstall_steps.h"
#include "tests/fuzz/fuzz_input.h"

using namespace vellora;

namespace {

bool HoldsWhatNoPathHolds(const std::string& path) {
    for (const char c : path)
        if (static_cast<unsigned char>(c) < 0x20 || c == '"') return true;
    return false;
}

// The path as the command processor reads the quoted text: "%%" is one '%'. Empty when a single
// '%' is left, which it would expand.
bool ReadLiterally(const std::string& quoted, std::string& path) {
    path.clear();
    for (std::size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] != '%') {
            path += quoted[i];
        } else if (i + 1 < quoted.size() && quoted[i + 1] == '%') {
            path += '%';
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);
    const std::string text = UninstallBatchText(path);
    if (HoldsWhatNoPathHolds(path)) {
        if (!text.empty()) fuzz::Violation("a path with a control character or a quote was written into the batch");
        return 0;
    }
    if (text.empty()) fuzz::Violation("a path was refused that holds nothing a path may not");

    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start != text.size()) fuzz::Violation("the batch does not end with CR LF");
    if (lines.size() != 11) fuzz::Violation("the batch has " + std::to_string(lines.size()) + " lines");
    for (const std::string& line : lines)
        if (line.find('\r') != std::string::npos || line.find('\n') != std::string::npos)
            fuzz::Violation("a line holds a lone CR or LF");

    const std::string del = "DEL \"", exists = "IF NOT EXIST \"";
    const std::string& deleteLine = lines[3];
    const std::string& testLine = lines[4];
    if (deleteLine.compare(0, del.size(), del) != 0 || deleteLine.back() != '"')
        fuzz::Violation("the delete line is not DEL \"path\": " + deleteLine);
    const std::string quoted = deleteLine.substr(del.size(), deleteLine.size() - del.size() - 1);
    if (quoted.find('"') != std::string::npos) fuzz::Violation("the quoted path holds a quote");
    std::string read;
    if (!ReadLiterally(quoted, read) || read != path) fuzz::Violation("the command processor would read another path");
    if (testLine != exists + quoted + "\" GOTO e") fuzz::Violation("the test line names another path: " + testLine);
    return 0;
}
