#include "geoproc/ResultLayerFile.h"

#include "core/FileUtil.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"

bool IsResultFileKind(const std::string& path, int fileKinds)
{
    const std::string extension = GetPathExtension(path);
    return ((fileKinds & kResultGdb) && EqualsNoCase1257(extension, "gdb")) ||
           ((fileKinds & kResultDbf) && EqualsNoCase1257(extension, "dbf")) ||
           ((fileKinds & kResultShapefile) && EqualsNoCase1257(extension, "shp"));
}

int PromptResultLayerFile(CDrelDoc& document, const CDocCommandDialogs& dialogs, const std::string& base, int type,
                          int fileKinds, CResultLayerChoice& choice)
{
    if (!dialogs.newLayer)
        return 0;
    document.SuggestNewLayerNames(choice.name, choice.path, base);
    choice.type = type;
    choice.options.typeChoice = false;
    choice.options.fileTypes = fileKinds;
    choice.options.replaceConfirmed = false;
    if (!dialogs.newLayer(document, choice.name, choice.path, choice.type, choice.options))
        return 0;
    // The type was shown, not offered.
    choice.type = type;
    if (!IsResultFileKind(choice.path, fileKinds)) {
        choice.path = MakePathWithExtension(choice.path, ".gdb");
        choice.options.replaceConfirmed = false;
    }
    return 1;
}
