#pragma once

#include <string>
#include <vector>

class QImage;

// The system clipboard: blocks of bytes under named formats, and
// pictures. The program's own clipboard is the desktop's; tests put
// another in its place.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    virtual bool HasFormat(const std::string& format) const = 0;
    // Empty when the clipboard holds nothing in the format.
    virtual std::vector<unsigned char> GetData(const std::string& format) const = 0;
    // Empties the clipboard and puts the block there under the one format.
    virtual bool SetData(const std::string& format, const std::vector<unsigned char>& data) = 0;
    // Empties the clipboard and puts the picture there.
    virtual bool SetImage(const QImage& image) = 0;
};

// The desktop's clipboard unless another is installed.
IClipboard& Clipboard();
// Null restores the desktop's; the caller keeps ownership.
void SetClipboard(IClipboard* clipboard);
