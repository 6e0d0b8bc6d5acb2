#include "res/MenuTable.h"

#include "res/CommandIds.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr MenuEntry Command(int id, const char* text)
{
    return {MenuEntry::kCommand, id, text, {}};
}
constexpr MenuEntry Popup(const char* text, std::span<const MenuEntry> items)
{
    return {MenuEntry::kPopup, 0, text, items};
}
constexpr MenuEntry Separator()
{
    return {MenuEntry::kSeparator, 0, nullptr, {}};
}
constexpr MenuEntry List(int id, const char* text)
{
    return {MenuEntry::kList, id, text, {}};
}

// The main window while no map window is open.
constexpr MenuEntry kMainFile[] = {
    Command(30015, "&Naujas..."),
    Command(kCmdFileOpen, "&Atverti...\tCtrl+O"),
    Command(30202, "&Žemėlapių sąrašas..."),
    Separator(),
    Command(kCmdFilePrintSetup, "Spaus&dintuvo parametrai..."),
    Separator(),
    List(kCmdFileRecentFirst, "Paskutiniai failai"),
    Separator(),
    Command(kCmdAppExit, "Iš&eiti"),
};
constexpr MenuEntry kHelp[] = {
    Command(kCmdHelp, "Žinynas"),
    Command(kCmdAppAbout, "&Apie..."),
};
constexpr MenuEntry kView[] = {
    Command(30457, "Įrankių &juostos..."),
    Separator(),
    Command(30356, "&Gatvių ir adresų paieška"),
    Command(30014, "&Maršrutų paieška"),
    Command(30023, "&Objektų redagavimas"),
    Command(30087, "&Linijų redagavimas"),
    Command(30296, "&Atributinių duomenų lentelė"),
};
constexpr MenuEntry kMainMenu[] = {
    Popup("&Failas", kMainFile),
    Popup("&Rodymas", kView),
    Popup("&Pagalba", kHelp),
};

// A map window.
constexpr MenuEntry kMapFile[] = {
    Command(30015, "&Naujas..."),
    Command(kCmdFileOpen, "&Atverti...\tCtrl+O"),
    Command(kCmdFileClose, "&Uždaryti"),
    Command(kCmdFileSave, "&Išsaugoti"),
    Command(kCmdFileSaveAs, "Išsaugoti &kaip..."),
    Command(30202, "&Žemėlapių sąrašas..."),
    Separator(),
    Command(kCmdFilePrint, "&Spausdinti...\tCtrl+P"),
    Command(30091, "Puslapio pa&rametrai..."),
    Command(kCmdFilePrintSetup, "Spaus&dintuvo parametrai..."),
    Separator(),
    List(kCmdFileRecentFirst, "Paskutiniai failai"),
    Separator(),
    Command(kCmdAppExit, "Iš&eiti"),
};
constexpr MenuEntry kMapGps[] = {
    Command(30303, "Pradėti stebėjimą"),
    Command(30305, "Baigti stebėjimą"),
    Separator(),
    Command(30308, "Automatiškai perstumti žemėlapį"),
};
constexpr MenuEntry kMapSettings[] = {
    Command(30350, "Standartinė vaizdo kokybė"),
    Command(30351, "Pagerinta vaizdo kokybė"),
    Separator(),
    Command(30297, "Vartotojo sutartiniai ženklai"),
};
constexpr MenuEntry kMapWindow[] = {
    Command(kCmdWindowCascade, "&Kaskada"),
    Command(kCmdWindowTile, "&Išdėstyti"),
    Command(kCmdWindowNext, "K&itas langas\tCtrl+F6"),
};
constexpr MenuEntry kMapMenu[] = {
    Popup("&Failas", kMapFile),
    Popup("&Rodymas", kView),
    Popup("&GPS", kMapGps),
    Popup("&Nustatymai", kMapSettings),
    Popup("&Langas", kMapWindow),
    Popup("&Pagalba", kHelp),
};

// The popup menu of a toolbar.
constexpr MenuEntry kToolbarPopup[] = {
    Command(30457, "Įrankių juostos..."),
    Command(30481, "Priderinti..."),
};
constexpr MenuEntry kToolbarMenu[] = {
    Popup("", kToolbarPopup),
};

// The legend's popup: what acts on the selected layer.
constexpr MenuEntry kLegendLayer[] = {
    Command(30066, "P&arametrai..."),
    Command(30068, "&Atributinių duomenų lentelė..."),
    Command(30067, "Objektų &sąrašas..."),
    Command(30336, "Padidinti pagal sluoksnį"),
    Separator(),
    Command(30193, "Rodyti &teminius ženklus"),
    Separator(),
    Command(30105, "&Kopijuoti sluoksnio aprašą"),
    Command(30106, "Įk&lijuoti sluoksnio aprašą"),
    Separator(),
    Command(30071, "Paša&linti"),
};
constexpr MenuEntry kLegendMenu[] = {
    Popup("Sluoksnis", kLegendLayer),
};

// The legend's popup for a partly shown group.
constexpr MenuEntry kGroupPopup[] = {
    Command(30487, "Įjungti visus"),
    Command(30488, "Išjungti visus"),
};
constexpr MenuEntry kGroupMenu[] = {
    Popup("Grupė", kGroupPopup),
};

constexpr MenuResource kMenus[] = {
    {107, kLegendMenu},
    {128, kMainMenu},
    {138, kMapMenu},
    {283, kToolbarMenu},
    {388, kGroupMenu},
};

} // namespace

const MenuResource* FindMenuResource(int id)
{
    auto it = std::find_if(std::begin(kMenus), std::end(kMenus), [id](const MenuResource& m) { return m.id == id; });
    return it == std::end(kMenus) ? nullptr : &*it;
}
