// Writes the hack's XScreenSaver description to the file named on the command line (build step).
#include <cstdio>
#include <string>

#include "saver/x11/hack_options.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vellora_config_xml OUTPUT\n");
        return 2;
    }
    const std::string xml = vellora::hack::XScreenSaverConfigXml();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(xml.data(), 1, xml.size(), out) == xml.size();
    return (std::fclose(out) == 0 && written) ? 0 : 1;
}
