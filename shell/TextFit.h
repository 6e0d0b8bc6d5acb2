#pragma once

#include <functional>
#include <string>
#include <string_view>

// The text a cell of the given width shows when its margins take extra
// pixels: the whole text when it fits, nothing when the margins take the
// whole width, else as many leading letters as fit followed by "..." (the
// dots alone when no letter fits). measure gives a text's width in pixels.
std::string ShortenText(std::string_view text, int width, int extra,
                        const std::function<int(std::string_view)>& measure);
