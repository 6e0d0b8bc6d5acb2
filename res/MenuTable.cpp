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
    Separator(),
    Command(30611, "Koordinačių transformavimas..."),
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
    Command(30024, "&Eksportuoti žemėlapį..."),
    Command(30359, "Išsaugoti HTML formatu..."),
    Separator(),
    Command(kCmdFilePrint, "&Spausdinti...\tCtrl+P"),
    Command(30091, "Puslapio pa&rametrai..."),
    Command(kCmdFilePrintSetup, "Spaus&dintuvo parametrai..."),
    Separator(),
    List(kCmdFileRecentFirst, "Paskutiniai failai"),
    Separator(),
    Command(kCmdAppExit, "Iš&eiti"),
};
constexpr MenuEntry kMapEditCopy[] = {
    Command(30104, "Že&mėlapį"),
    Command(30105, "&Sluoksnio aprašą"),
};
constexpr MenuEntry kMapEdit[] = {
    Popup("&Kopijuoti", kMapEditCopy),
    Command(30106, "Įk&lijuoti sluoksnio aprašą"),
};
constexpr MenuEntry kMapTools[] = {
    Command(30065, "Padidinti &fragmentą"),
    Command(30063, "&Didinti"),
    Command(30064, "&Mažinti"),
    Command(30057, "&Stumti"),
    Command(30059, "&Informacija"),
    Separator(),
    Command(30056, "&Atstumas"),
    Command(30055, "&Plotas/Perimetras"),
    Command(30112, "&Objekto plotas"),
    Command(30111, "Objekto &ilgis"),
    Command(30119, "A&zimutas"),
};
constexpr MenuEntry kMapView[] = {
    Popup("&Įrankiai", kMapTools),
    Separator(),
    Command(30027, "Pilnas &vaizdas"),
    Command(30021, "&Atgal"),
    Command(30339, "Pirmyn"),
    Command(30018, "&Perpiešti"),
    Separator(),
    Command(30281, "Mastelio liniuotė"),
    Command(30439, "Panaikinti išskyrimus"),
    Separator(),
    Command(30431, "Paieška..."),
    Command(30453, "Paieškos parametrai"),
    Separator(),
    Command(30025, "Redaguoti žemėlapio parametrus"),
};
constexpr MenuEntry kLegendFilter[] = {
    Command(30008, "&Visi"),
    Command(30009, "Tik &darbiniai"),
    Command(30010, "Tik &matomi darbiniai"),
    Separator(),
    Command(30007, "Perpiešti a&utomatiškai"),
};
constexpr MenuEntry kLayerOperations[] = {
    Command(30235, "Sukurti &buferines zonas..."),
    Command(30260, "Sukurti &topologiją..."),
    Command(30265, "Sukurti uždaras &sritis..."),
    Command(30344, "Sukurti kvartalus pagal gatvių ašinių linijų topologiją"),
    Command(30612, "Pergeneruoti gatves..."),
    Command(30263, "&Perklojimo operacijos..."),
    Command(30264, "&Apjungti gretimus objektus..."),
    Command(30352, "Sukurti salas..."),
    Command(30325, "Sukurti taškų, nurodančių galimų klaidų vietas, sluoksnį"),
    Command(30348, "Taisyti klaidas..."),
    Command(30342, "Koreguoti gretimus taškus"),
    Command(30349, "Išretinti taškus..."),
    Command(30614, "Pridėti posūkių apribojimus"),
    Command(30347, "Taisyti viadukus"),
    Command(30440, "Palyginti sluoksnius..."),
    Command(30355, "Sukurti erdvinį indeksą"),
    Command(30632, "Rūšiuoti..."),
    Command(30619, "Paruošti gatvių duomenis delniniam kompiuteriui"),
};
constexpr MenuEntry kDerivedLayer[] = {
    Command(30358, "Sukurti koordinačių tinklelį..."),
    Command(30408, "Sukurti liniją iš taškų..."),
    Command(30409, "Sukurti sritį iš taškų..."),
};
constexpr MenuEntry kSaveToDatabase[] = {
    Command(30244, "Objektų &ilgius..."),
    Command(30245, "Objektų &plotus..."),
    Command(30266, "Objektų &koordinates..."),
};
constexpr MenuEntry kLayerImport[] = {
    Command(30280, "Atributinius duomenis..."),
};
constexpr MenuEntry kMapLayer[] = {
    Popup("&Legenda", kLegendFilter),
    Separator(),
    Command(30069, "Sukurti naują sluoksnį"),
    Command(30070, "Įtraukti esamą sluoksnį"),
    Command(30088, "Importuoti sluoksnį"),
    Command(30302, "Sukurti sluoksnių grupę"),
    Separator(),
    Command(30483, "Sluoksnių sąrašas..."),
    Command(30066, "P&arametrai..."),
    Command(30068, "&Atributinių duomenų lentelė..."),
    Command(30067, "Objektų &sąrašas..."),
    Command(30019, "Rasti gatvę arba adresą"),
    Command(30336, "Padidinti pagal sluoksnį"),
    Separator(),
    Command(30484, "Sluoksnį pagal pavyzdį..."),
    Command(30128, "Pakuoti"),
    Separator(),
    Popup("Operacijos su sluoksniais", kLayerOperations),
    Popup("Išvestinis sluoksnis", kDerivedLayer),
    Popup("Įrašyti į duomenų bazę", kSaveToDatabase),
    Popup("&Importuoti", kLayerImport),
    Command(30414, "Pritraukti prie sluoksnio..."),
    Command(30415, "Išvesti galines viršūnes..."),
    Separator(),
    Command(30071, "Paša&linti"),
};
constexpr MenuEntry kMapPlaces[] = {
    Command(30489, "Įsiminti..."),
    Command(30490, "Tvarkyti..."),
    Separator(),
    List(30491, "Vietos"),
};
constexpr MenuEntry kMapRoutes[] = {
    Command(30032, "Nurodyti &startą"),
    Command(30033, "Nurodyti &finišą"),
    Command(30034, "Nurodyti &tarpinį punktą"),
    Command(30094, "&Redaguoti punktą"),
    Separator(),
    Command(30035, "&Skaičiuoti"),
    Command(30036, "&Išvalyti"),
    Separator(),
    Command(30620, "Išsaugoti &maršrutą..."),
    Command(30279, "Klientų apvažiavimas..."),
    Separator(),
    Command(30196, "Maršrutas importuotiems punktams..."),
    Command(30354, "Tikrinti maršrutų tinklą"),
    Command(30635, "Atstumų skaičiuoklė..."),
};
constexpr MenuEntry kMapReplaySpeed[] = {
    Command(30419, "x1"), Command(30420, "x2"), Command(30421, "x5"), Command(30422, "x10"), Command(30423, "x100"),
};
constexpr MenuEntry kMapGps[] = {
    Command(30303, "Pradėti stebėjimą"),
    Command(30305, "Baigti stebėjimą"),
    Separator(),
    Command(30306, "Rodyti GPS duomenis"),
    Command(30636, "Rodyti terminalo langą"),
    Command(30308, "Automatiškai perstumti žemėlapį"),
    Separator(),
    Command(30340, "Išsaugoti taško koordinates ir kitus GPS duomenis\tCtrl+G"),
    Command(30341, "GPS duomenų išsaugojimo parametrai..."),
    Command(30629, "Išsaugoti trasą į sluoksnį"),
    Command(30278, "Archyvuoti senus trasų sluoksnių duomenis"),
    Separator(),
    Command(30307, "Porto parametrai..."),
    Command(30208, "UTC laiko koregavimas..."),
    Command(30416, "Trasos parametrai..."),
    Command(30417, "Trasos sluoksnio statistika..."),
    Separator(),
    Command(30418, "Atkurti judėjimą..."),
    Popup("Judėjimo atkūrimo greitis", kMapReplaySpeed),
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
    Popup("&Redagavimas", kMapEdit),
    Popup("&Rodymas", kView),
    Popup("&Žemėlapis", kMapView),
    Popup("&Sluoksnis", kMapLayer),
    Popup("&Vietos", kMapPlaces),
    Popup("&Maršrutai", kMapRoutes),
    Popup("&GPS", kMapGps),
    Popup("&Nustatymai", kMapSettings),
    Popup("&Langas", kMapWindow),
    Popup("&Pagalba", kHelp),
};

// An attribute-table window.
constexpr MenuEntry kTableFile[] = {
    Command(30015, "&Naujas..."),
    Command(kCmdFileOpen, "&Atverti...\tCtrl+O"),
    Command(kCmdFileClose, "&Uždaryti"),
    Command(kCmdFileSave, "&Išsaugoti"),
    Command(kCmdFileSaveAs, "Išsaugoti &kaip..."),
    Command(30202, "&Žemėlapių sąrašas..."),
    Separator(),
    Command(kCmdFilePrint, "&Spausdinti...\tCtrl+P"),
    Command(kCmdFilePrintPreview, "Spaudinio &peržiūra"),
    Command(30091, "Puslapio pa&rametrai..."),
    Command(kCmdFilePrintSetup, "Spaus&dintuvo parametrai..."),
    Separator(),
    List(kCmdFileRecentFirst, "Paskutiniai failai"),
    Separator(),
    Command(kCmdAppExit, "Iš&eiti"),
};
constexpr MenuEntry kTableEdit[] = {
    Command(kCmdEditCopy, "&Kopijuoti"),
    Command(30434, "Kopijuoti &pasirinktus įrašus"),
    Command(30435, "Kopijuoti &lentelę"),
    Separator(),
    Command(30437, "Pasirinkti &visus įrašus"),
    Separator(),
    Command(30241, "R&asti tekstą..."),
};
constexpr MenuEntry kTableRecords[] = {
    Command(30239, "&Informacija..."),
    Command(30240, "&Redaguoti įrašą..."),
    Command(30242, "&Keisti lauko reikšmę..."),
    Command(30243, "&Statistika..."),
    Separator(),
    Command(30298, "&Parodyti žemėlapyje"),
    Command(30300, "Perkelti į &viršų"),
    Separator(),
    Command(30433, "Pašali&nti"),
};
constexpr MenuEntry kTableMenu[] = {
    Popup("&Failas", kTableFile),
    Popup("&Redagavimas", kTableEdit),
    Popup("&Rodymas", kView),
    Popup("&Lentelė", kTableRecords),
    Popup("&Langas", kMapWindow),
    Popup("&Pagalba", kHelp),
};

// The table window's popup.
constexpr MenuEntry kTablePopup[] = {
    Command(30239, "&Informacija..."),
    Command(30240, "&Redaguoti įrašą..."),
    Command(30241, "R&asti tekstą..."),
    Command(30243, "&Statistika..."),
    Separator(),
    Command(30298, "&Parodyti žemėlapyje"),
    Command(30300, "Perkelti į &viršų"),
    Separator(),
    Command(30434, "Kopijuoti pasirinktus įrašus"),
    Command(30435, "Kopijuoti lentelę"),
    Command(30437, "Pasirinkti visus įrašus"),
    Separator(),
    Command(30433, "Pašali&nti"),
};
constexpr MenuEntry kTablePopupMenu[] = {
    Popup("Table", kTablePopup),
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
    Command(30019, "Rasti gatvę arba adresą"),
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

// The map view's context menu.
constexpr MenuEntry kViewPopup[] = {
    Command(30124, "Atsisakyti"),
    Command(30439, "Panaikinti išskyrimus"),
    Separator(),
    Command(30621, "Sukurti žymę"),
    Command(30610, "Informacija apie tašką..."),
    Separator(),
    Command(30027, "Pilnas &vaizdas"),
    Command(30018, "&Perpiešti"),
    Command(30021, "&Atgal"),
    Separator(),
    Command(30121, "&Didinti"),
    Command(30122, "&Mažinti"),
    Command(30123, "&Centruoti"),
};
constexpr MenuEntry kViewMenu[] = {
    Popup("Vaizdas", kViewPopup),
};

// The maps list's popup.
constexpr MenuEntry kMapListPopup[] = {
    Command(30198, "At&verti"),
    Command(30199, "Pridėti..."),
    Command(30200, "Pašalinti"),
    Command(30201, "Pervadinti"),
    Separator(),
    Command(30203, "Didelės piktogramos"),
    Command(30205, "Mažos piktogramos"),
    Command(30206, "Detalus sąrašas"),
};
constexpr MenuEntry kMapListMenu[] = {
    Popup("Žemėlapiai", kMapListPopup),
};

// The object information's popup over a link value.
constexpr MenuEntry kAttributePopup[] = {
    Command(30114, "Parodyti"),
    Command(30116, "Parodyti su standartine programa"),
};
constexpr MenuEntry kAttributeMenu[] = {
    Popup("Atributas", kAttributePopup),
};

constexpr MenuResource kMenus[] = {
    {107, kLegendMenu},
    {128, kMainMenu},
    {130, kTableMenu},
    {138, kMapMenu},
    {182, kAttributeMenu},
    {186, kViewMenu},
    {253, kMapListMenu},
    {274, kTablePopupMenu},
    {283, kToolbarMenu},
    {388, kGroupMenu},
};

} // namespace

const MenuResource* FindMenuResource(int id)
{
    auto it = std::find_if(std::begin(kMenus), std::end(kMenus), [id](const MenuResource& m) { return m.id == id; });
    return it == std::end(kMenus) ? nullptr : &*it;
}
