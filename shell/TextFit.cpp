#include "shell/TextFit.h"

std::string ShortenText(std::string_view text, int width, int extra,
                        const std::function<int(std::string_view)>& measure)
{
    if (text.empty() || measure(text) + extra <= width)
        return std::string(text);
    if (width <= extra)
        return {};
    constexpr std::string_view kDots = "...";
    const int dots = measure(kDots);
    // The widths shrink with the letters dropped, so a search finds how many stay.
    size_t fits = 0, passes = text.size();
    while (passes - fits > 1) {
        const size_t mid = fits + (passes - fits) / 2;
        (measure(text.substr(0, mid)) + dots + extra <= width ? fits : passes) = mid;
    }
    return std::string(text.substr(0, fits)) + std::string(kDots);
}
