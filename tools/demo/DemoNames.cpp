#include "tools/demo/DemoNames.h"

#include "platform/Codepage.h"

#include <initializer_list>

namespace {

std::vector<std::string> Words(std::initializer_list<const char*> utf8)
{
    std::vector<std::string> words;
    words.reserve(utf8.size());
    for (const char* word : utf8)
        words.push_back(Utf8ToCp1257(word));
    return words;
}

CDemoNames MakeNames()
{
    CDemoNames names;
    names.streetStems = Words({
        "Ąžuolų",     "Beržų",       "Liepų",       "Klevų",        "Pušų",        "Eglių",       "Uosių",
        "Gluosnių",   "Kaštonų",     "Alyvų",       "Jazminų",      "Šermukšnių",  "Lazdynų",     "Kadagių",
        "Alksnių",    "Obelų",       "Vyšnių",      "Kriaušių",     "Slyvų",       "Serbentų",    "Aviečių",
        "Braškių",    "Gėlių",       "Rožių",       "Ramunių",      "Bijūnų",      "Tulpių",      "Lelijų",
        "Žibuoklių",  "Rūtų",        "Dobilų",      "Linų",         "Rugių",       "Kviečių",     "Miežių",
        "Javų",       "Aguonų",      "Pienių",      "Miško",        "Šilo",        "Girios",      "Pievų",
        "Laukų",      "Ežero",       "Upės",        "Kalno",        "Kalnelio",    "Slėnio",      "Šaltinio",
        "Tvenkinio",  "Kranto",      "Smėlio",      "Akmenų",       "Vėjo",        "Saulės",      "Mėnulio",
        "Žvaigždžių", "Aušros",      "Vaivorykštės", "Rasos",       "Lietaus",     "Sniego",      "Tilto",
        "Malūno",     "Turgaus",     "Mokyklos",    "Bažnyčios",    "Stoties",     "Pilies",      "Dvaro",
        "Sodų",       "Daržų",       "Parko",       "Amatų",        "Kalvių",      "Puodžių",     "Žvejų",
        "Ūkininkų",   "Sodininkų",   "Bitininkų",   "Pylimo",       "Vartų",       "Bokšto",      "Įgulos",
        "Vasaros",    "Pavasario",   "Rudens",      "Žiemos",       "Vilties",     "Draugystės",  "Vienybės",
        "Jaunystės",  "Dainų",       "Šviesos",     "Ramybės",      "Maironio",    "Donelaičio",  "Žemaitės",
        "Čiurlionio", "Basanavičiaus", "Kudirkos",  "Daukanto",     "Valančiaus",  "Putino",      "Vaižganto",
        "Biliūno",    "Baranausko",  "Vienažindžio", "Strazdo",     "Krėvės",      "Šatrijos",    "Kęstaičių",
        "Mįslių",
    });
    // Among the first streets of every town: together they hold every
    // letter beyond Latin in its small form.
    names.showcaseStems = Words({"Aviečių", "Kęstaičių", "Gėlių", "Mįslių", "Vyšnių"});
    names.showcaseMainStem = Utf8ToCp1257("Sąjūdžio");
    names.mainStems = Words({
        "Vilniaus",   "Kauno",       "Klaipėdos",   "Šiaulių",      "Panevėžio",   "Utenos",      "Alytaus",
        "Marijampolės", "Tauragės",  "Telšių",      "Kėdainių",     "Ukmergės",    "Jonavos",     "Birštono",
        "Vytauto",    "Gedimino",    "Mindaugo",    "Kęstučio",     "Birutės",     "Algirdo",     "Jogailos",
        "Laisvės",    "Nepriklausomybės", "Respublikos", "Savanorių", "Sąjūdžio",  "Žalgirio",    "Partizanų",
        "Taikos",     "Pergalės",
    });
    names.streetKinds = Words({"g.", "skg."});
    names.pathKind = Words({"tak."});
    names.mainKinds = Words({"g.", "pr.", "al."});
    names.towns = Words({
        "Ąžuolynė",   "Beržynė",     "Pušynai",     "Liepiškės",    "Šilėnai",     "Gėliniai",    "Klevinė",
        "Ūdrinė",     "Žiedupiai",   "Čiobiškis",   "Rasėnai",      "Upytė",       "Šaltiniai",   "Eglynai",
        "Žalioji",    "Vėjūnai",     "Kalniškiai",  "Smėlynė",      "Dvarčiai",    "Malūnėliai",  "Sodžiai",
        "Beržiniai",  "Pievėnai",    "Akmenynė",    "Laukiai",      "Girelė",      "Kęsčiai",     "Įlankiai",
    });
    names.rivers = Words({"Ąžuolupė", "Šventupė", "Žalupė", "Liepupė", "Gėlupė", "Varnupė", "Vėjupė", "Ūlytė"});
    names.parkKinds = Words({"parkas", "skveras", "sodas"});
    names.centralPark = Utf8ToCp1257("Centrinis skveras");
    names.riversidePark = Utf8ToCp1257("Pakrantės parkas");
    names.residential = "gyvenamasis";
    names.commercial = "komercinis";
    names.publicUse = "visuomeninis";
    names.industrial = "pramoninis";
    names.shed = Utf8ToCp1257("ūkinis");
    names.layers.reliefGroup = "Reljefas";
    names.layers.relief = Utf8ToCp1257("Reljefo šešėliai");
    names.layers.elevation = Utf8ToCp1257("Aukščiai");
    names.layers.natureGroup = "Gamta";
    names.layers.parks = "Parkai";
    names.layers.river = Utf8ToCp1257("Upė");
    names.layers.buildings = "Pastatai";
    names.layers.streets = Utf8ToCp1257("Gatvės");
    names.layers.addresses = "Adresai";
    names.layers.sights = "Lankytinos vietos";
    names.layers.track = "GPS trasa";
    names.mapTitle = Utf8ToCp1257(": demonstracinis žemėlapis");
    names.bookmarks = Words({"Visas miestas", "Senamiestis", "Prie upės", "Centrinė sankryža"});
    names.sights = Words({
        "Bažnyčia",   "Mokykla",     "Gimnazija",   "Paštas",       "Biblioteka",  "Muziejus",    "Seniūnija",
        "Poliklinika", "Kultūros centras", "Turgus", "Autobusų stotis", "Vaistinė", "Sporto salė", "Darželis",
    });
    return names;
}

} // namespace

const CDemoNames& CDemoNames::Get()
{
    static const CDemoNames names = MakeNames();
    return names;
}
