#pragma once

#include <string>
#include <vector>

// What the program was started with: the command text (the arguments
// after the program's name, joined by blanks, code page 1257) and whether
// it was started for embedding or automation ("/Embedding", "-Automation"
// and so on, letter case ignored).
struct CStartArguments {
    std::string commandText;
    bool embedded = false;
    bool automated = false;
};

CStartArguments ParseStartArguments(const std::vector<std::string>& arguments);

// The first map the program opens after start-up.
struct CFirstMapChoice {
    enum Action { kNothing, kOpenFile, kOpenLink, kChooseLink };
    Action action = kNothing;
    std::string path; // kOpenFile: the command text or the recent file, as it stands
    int link = -1;    // kOpenLink
};

// The command text unless it is empty, starts with "/dde" or comes with
// an embedding or automation start; else with no map links the most
// recent file (when there is one), with one link that link, with several
// the user's choice among them.
CFirstMapChoice ChooseFirstMap(const CStartArguments& arguments, int linkCount, const std::string& mostRecentFile);

// The program draws its own message boxes (and Lithuanian labels) unless
// the language string (string 136) is exactly "English".
bool UsesOwnMessageBox(const std::string& language);
