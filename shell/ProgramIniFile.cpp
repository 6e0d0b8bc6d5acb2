#include "shell/ProgramIniFile.h"

#include "platform/AppFolders.h"
#include "platform/IniFile.h"
#include "platform/UserServices.h"

namespace {
constexpr int kWriteError = 1045;
}

bool UpdateProgramIniFile(const std::string& fileName, const std::function<void(CIniFile& ini)>& edit)
{
    CIniFile ini(FindProgramFile(fileName));
    // An unreadable original still gets the change; only its other keys are lost.
    if (!ini.Load())
        ini = CIniFile();
    edit(ini);
    ini.SetPath(WritableProgramFile(fileName));
    if (ini.Save())
        return true;
    AppMessageBox(kWriteError, MB_OK | MB_ICONWARNING);
    return false;
}
