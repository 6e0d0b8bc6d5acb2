#include "shell/DialogFont.h"

#include <cstring>

CFont MakeDialogFont(int weight)
{
    LOGFONT lf;
    lf.lfHeight = -MulDiv(8, 96, 72);
    lf.lfWeight = weight;
    lf.lfCharSet = BALTIC_CHARSET;
    std::strncpy(lf.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    return CFont(lf);
}
