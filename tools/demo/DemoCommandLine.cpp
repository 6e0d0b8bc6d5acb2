#include "tools/demo/DemoCommandLine.h"

#include <cerrno>
#include <cstdlib>

namespace {

// A whole decimal number within the bounds, nothing else.
bool ParseNumber(const std::string& text, uint64_t low, uint64_t high, uint64_t& value)
{
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

} // namespace

bool CDemoCommandLine::Parse(const std::vector<std::string>& arguments, std::string& error)
{
    for (size_t k = 0; k < arguments.size(); ++k) {
        const std::string& argument = arguments[k];
        if (argument == "-h" || argument == "--help") {
            help = true;
            return true;
        }
        if (argument == "--seed" || argument == "--streets") {
            if (k + 1 >= arguments.size()) {
                error = argument + " needs a number";
                return false;
            }
            const std::string& text = arguments[++k];
            uint64_t value = 0;
            if (argument == "--seed") {
                if (!ParseNumber(text, 0, UINT64_MAX, value)) {
                    error = "the seed must be a whole number from 0 to " + std::to_string(UINT64_MAX) + ", not \"" +
                            text + "\"";
                    return false;
                }
                options.seed = value;
            } else {
                if (!ParseNumber(text, CDemoOptions::kMinStreets, CDemoOptions::kMaxStreets, value)) {
                    error = "the number of streets must be a whole number from " +
                            std::to_string(CDemoOptions::kMinStreets) + " to " +
                            std::to_string(CDemoOptions::kMaxStreets) + ", not \"" + text + "\"";
                    return false;
                }
                options.streets = static_cast<int>(value);
            }
            continue;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + argument;
            return false;
        }
        if (argument.empty()) {
            error = "the output folder is empty";
            return false;
        }
        if (!folder.empty()) {
            error = "one output folder only, not also " + argument;
            return false;
        }
        folder = argument;
    }
    if (folder.empty()) {
        error = "the output folder is missing";
        return false;
    }
    return true;
}

std::string CDemoCommandLine::Usage()
{
    return "Usage: drel-demo OUTDIR [--seed N] [--streets N]\n"
           "Writes OUTDIR/demo.map and its files: a town generated from the seed (default 1)\n"
           "with that many street objects (default " +
           std::to_string(CDemoOptions::kDefaultStreets) + ", from " + std::to_string(CDemoOptions::kMinStreets) +
           " to " + std::to_string(CDemoOptions::kMaxStreets) + ").\n";
}
