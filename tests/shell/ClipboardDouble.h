#pragma once

#include "platform/Clipboard.h"

#include <QImage>

#include <string>
#include <vector>

// The clipboard of the test, in the desktop's place while it lives: it
// holds the last block put there under its one format.
class CTestClipboard : public IClipboard {
public:
    CTestClipboard() { SetClipboard(this); }
    ~CTestClipboard() override { SetClipboard(nullptr); }
    bool HasFormat(const std::string& format) const override { return format == held; }
    std::vector<unsigned char> GetData(const std::string& format) const override
    {
        return format == held ? bytes : std::vector<unsigned char>();
    }
    bool SetData(const std::string& format, const std::vector<unsigned char>& data) override
    {
        held = format;
        bytes = data;
        return true;
    }
    bool SetImage(const QImage& image) override
    {
        held = "image";
        picture = image;
        return true;
    }
    // The block held, as text.
    std::string Text() const { return std::string(bytes.begin(), bytes.end()); }

    std::string held;
    std::vector<unsigned char> bytes;
    QImage picture;
};
