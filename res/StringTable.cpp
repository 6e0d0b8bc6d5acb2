#include "res/StringTable.h"

#include <algorithm>
#include <iterator>

namespace {

struct StringEntry {
    int id;
    const char* text;
};

// Sorted by id. Texts stand exactly as the program shows them.
constexpr StringEntry kStrings[] = {
    {2, "Sintaksės klaida."},
    {3, "\"MEMO\" laukų negalima naudoti reiškinyje."},
    {4, "Nereikalingas uždarantis skaliaustas \")\""},
    {5, "Perdaug argumentų (trūksta funkcijos vardo)."},
    {6, "Reiškinys neturi rezultato."},
    {7, "Reiškinio reikšmė ne BOOL tipo."},
    {8, "Neužbaigtas reiškinys."},
    {9, "Klaidingas funkcijos parametrų skaičius."},
    {10, "Per ilgas arba perdaug sudėtingas reiškinys."},
    {11, "Trūksta uždarančio skliausto \")\""},
    {12, "Netinkami funcijos parametrų tipai."},
    {13, "Nežinoma funkcija."},
    {14, "Nežinomas operatorius."},
    {15, "Nežinomas kintamasis"},
    {16, "Trūksta simbolių eilutės užbaigiančių kabučių."},
    {17, "Nereikalingas kablelis \",\""},
    {18, "Klaidinga data."},
    {19, "Netinkami operatoriaus parametrų tipai."},
    {20, "Klaidingas datos formatas. Turi būti:\n {yyyy-mm-dd}"},
    {21, "Tuščias reiškinys."},
    {125, "Skaičiuojama..."},
    {126, "Skaičiuojama..."},
    {1005, "Trūksta atminties."},
    {1006, "Nerastas sluoksnis \"%1\"."},
    {1007, "Nepavyko atidaryti failo \"%1\"."},
    {1008, "Sluoksnyje \"%1\" nėra lauko \"%2\"."},
    {1009, "Žemėlapio parametruose nenurodytas adresų sluoksnis."},
    {1010, "Žemėlapio parametruose nenurodytas gatvių sluoksnis."},
    {1011, "Žemėlapio parametruose nenurodytas sluoksnis maršrutų paieškai."},
    {1014, "Žemėlapio parametruose nenurodyti maršrutų paieškos sluoksnio laukai."},
    {1015, "Adresų sluoksnio tipas turi būti \"Taškas\"."},
    {1016, "Gatvių sluoksnio tipas turi būti \"Linija\"."},
    {1017, "Maršrutų paieškos sluoksnio tipas turi būti \"Linija\"."},
    {1020, "Maršrutas nerastas."},
    {1027, "Nepavyko sukurti failo \"%1\"."},
    {1028, "Skaitymo iš failo klaida."},
    {1030, "Nekorektiškas failo formatas."},
    {1032, "Faile \"%1\" nėra lauko \"%2\"."},
    {1034, "Sluoksnio tipas turi būti \"Linija\" arba \"Sritis\"."},
    {1041, "Nepavyko supakuoti failų."},
    {1042, "Šio sluoksnio failų pakuoti negalima."},
    {1044, "Failas skirtas tik skaitymui."},
    {1045, "Rašymo į failą klaida."},
    {1054, "Nepavyko užrakinti failo. Šiuo metu failą naudoja kita programa."},
    {1056, "Sluoksnis šiuo metu redaguojamas, todėl jo pašalinti negalima."},
    {1074, "Failas \"%1\" jau yra."},
    {1078, "Tuščias objektas."},
    {1087, "Uždarykite sluoksnio atributinių duomenų lentelę."},
    {1108, "Punktų skaičius viršija 15. Reikalinga programa KELTO.EXE"},
    {1114, "Nepavyko pašalinti failo \"%1\"."},
    {1190, "Sluoksnio \"%1\" filtras klaidingas: %2\nKol filtras nebus pataisytas, sluoksnio objektai nerodomi."},
    {2007, "Pakuoti sluoksnio \"%1\" failus?"},
    {2020, "Sluoksnį sudaro daug failų. Pašalinti tuščius failus iš disko?"},
    {2200, "Taškas"},
    {2201, "Linija"},
    {2202, "Sritis"},
    {2203, "Rastrinis žemėlapis"},
    {2204, "Rastrinis reljefo modelis"},
    {2205, "Trasa"},
    {3005, "<Kitais atvejais>"},
    {3011, "Pakavimas baigėsi sėkmingai."},
    {3038, "Matoma zona"},
    {3039, "Nematoma zona"},
    {3040, "Visais atvejais"},
    {3052, "Pašalinta failų: %d."},
    {30018, "Perpiešti žemėlapį\nPerpiešti"},
    {30021, "Ankstesnis vaizdas\nAtgal"},
    {30027, "Rodyti visą žemėlapį\nPilnas vaizdas"},
    {30057, "Stumti žemėlapį\nStumti"},
    {30059, "Informacija apie objektą\nInformacija"},
    {30063, "Didinti žemėlapį\nDidinti"},
    {30064, "Mažinti žemėlapį\nMažinti"},
    {30065, "Padidinti pasirinktą fragmentą\nPadidinti fragmentą"},
    {30091, "Puslapio parametrai\nPuslapio parametrai"},
    {30336, "Padidinti pagal sluoksnį\nPadidinti pagal sluoksnį"},
    {30339, "Kitas vaizdas\nPirmyn"},
    {57601, "Atverti žemėlapį\nAtverti"},
    {57602, "Uždaryti žemėlapio langą\nUždaryti"},
    {57603, "Išsaugoti žemėlapį\nIšsaugoti"},
    {57604, "Išsaugoti žemėlapį kitu vardu\nIšsaugoti kaip"},
    {57607, "Spausdinti žemėlapį\nSpausdinti"},
    {57609, "Peržiūrėti spaudinį\nSpaudinio peržiūra"},
    {57616, "Atverti šį žemėlapį"},
    {57617, "Atverti šį žemėlapį"},
    {57618, "Atverti šį žemėlapį"},
    {57619, "Atverti šį žemėlapį"},
    {57620, "Atverti šį žemėlapį"},
    {57621, "Atverti šį žemėlapį"},
    {57622, "Atverti šį žemėlapį"},
    {57623, "Atverti šį žemėlapį"},
    {57650, "Išdėstyti langus kaskada\nKaskada"},
    {57651, "Išdėstyti langus greta\nIšdėstyti"},
    {57665, "Baigti darbą su programa\nIšeiti"},
    {57680, "Pereiti į kitą langą\nKitas langas"},
    {61900, "Išsaugoti failo \"%1\" pakeitimus?"},
    {61901, "Be pavadinimo"},
    {61902, "Atverti"},
    {61903, "Išsaugoti kaip"},
    {61904, "Visi failai (*.*)"},
    {61910, "Įveskite sveikąjį skaičių."},
    {61911, "Įveskite sveikąjį skaičių nuo %1 iki %2."},
    {61912, "Įveskite skaičių."},
    {61913, "Įveskite skaičių nuo %1 iki %2."},
    {61914, "Įveskite ne daugiau kaip %1 simbolių."},
};

constexpr bool IsSorted()
{
    for (size_t i = 1; i < std::size(kStrings); ++i)
        if (kStrings[i - 1].id >= kStrings[i].id)
            return false;
    return true;
}
static_assert(IsSorted(), "string table ids must be sorted and unique");

} // namespace

const char* LoadStringUtf8(int id)
{
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const StringEntry& e, int v) { return e.id < v; });
    if (it == std::end(kStrings) || it->id != id)
        return nullptr;
    return it->text;
}
