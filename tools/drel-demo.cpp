// tool-deps: drel_demo
// Writes the demo map, a town generated from a seed: OUTDIR/demo.map, its
// settings file and its data files.
// Usage: drel-demo OUTDIR [--seed N] [--streets N]

#include "platform/Codepage.h"
#include "platform/Path.h"
#include "tools/demo/DemoCommandLine.h"
#include "tools/demo/DemoMapWriter.h"

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    CDemoCommandLine command;
    std::string error;
    if (!command.Parse(std::vector<std::string>(argv + 1, argv + argc), error)) {
        std::fprintf(stderr, "drel-demo: %s\n%s", error.c_str(), CDemoCommandLine::Usage().c_str());
        return 2;
    }
    if (command.help) {
        std::fputs(CDemoCommandLine::Usage().c_str(), stdout);
        return 0;
    }
    if (!MakeDemoMap(FromNativePath(command.folder), command.options, error)) {
        std::fprintf(stderr, "drel-demo: %s\n", Cp1257ToUtf8(error).c_str());
        return 1;
    }
    std::printf("drel-demo: wrote %s/%s (seed %" PRIu64 ", %d streets)\n", command.folder.c_str(),
                CDemoMapWriter::kMapFile, command.options.seed, command.options.streets);
    return 0;
}
