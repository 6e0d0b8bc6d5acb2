#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CLayer;

// One entry of the object choice (dialog 30776): a plain text, or an
// object named by its layer, the file of a layer made of several files
// (-1 for the layer's own) and its record.
struct CObjectCandidate {
    std::string text;
    CLayer* layer = nullptr;
    int file = -1;
    int32_t record = -1;
};

// The texts the choice lists: plain texts as they are; objects by their
// name field's text, "<%04ld>" with the record when the layer has no name
// field (or its file does not open); a layer that holds no objects by its
// name.
std::vector<std::string> ObjectCandidateTexts(const std::vector<CObjectCandidate>& candidates);
