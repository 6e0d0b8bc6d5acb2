#include "layers/LabelStyle.h"

#include <algorithm>
#include <cstring>

CLabelStyle CLabelStyle::Default()
{
    CLabelStyle style;
    style.font.lfHeight = -8;
    style.font.lfCharSet = BALTIC_CHARSET;
    style.SetFaceName("Arial");
    return style;
}

std::string CLabelStyle::GetFaceName() const
{
    const char* face = font.lfFaceName;
    return std::string(face, strnlen(face, LF_FACESIZE));
}

void CLabelStyle::SetFaceName(const std::string& face)
{
    std::memset(font.lfFaceName, 0, LF_FACESIZE);
    std::memcpy(font.lfFaceName, face.data(), std::min<size_t>(face.size(), LF_FACESIZE - 1));
}
