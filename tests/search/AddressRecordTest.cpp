// The step before the record form: placemark records through the
// placemark dialog, address records through the address entry; the
// street boxes of the address entry; house numbers split for storing.
#include "search/AddressRecord.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "mapdoc/AddressTable.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "tests/core/FieldLists.h"
#include "tests/mapdoc/SearchDialogsDouble.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

TEST(HouseNumber, SplitsIntoNumberAndLetter)
{
    struct Case {
        const char* text;
        size_t letterLength;
        long number;
        const char* letter;
    };
    const Case cases[] = {
        {"12A", 1, 12, "A"},
        {"7", 1, 7, ""},
        {"  15 b ", 1, 15, "b"},
        {"", 1, 0, ""},
        // No leading digits: number 0, the text (cut) as the letter.
        {"abc", 1, 0, "a"},
        {"abc", 0, 0, ""},
        // The letter has its field's length at most.
        {"12ABCDEFGH", 1, 12, "A"},
        {"12ABCDEFGH", 3, 12, "ABC"},
        {"12 AB CD", 4, 12, "AB C"},
        {"0012", 2, 12, ""},
    };
    for (const Case& c : cases) {
        CHouseNumberParts parts;
        parts.number = -5;
        ASSERT_TRUE(SplitHouseNumber(c.text, c.letterLength, 9999, parts)) << c.text;
        EXPECT_EQ(parts.number, c.number) << c.text;
        EXPECT_EQ(parts.letter, c.letter) << c.text;
    }
    // Numbers beyond what the field holds are refused, nothing set.
    for (const char* text : {"99999999999", "10000", "99999999999999999999999999"}) {
        CHouseNumberParts parts;
        parts.number = -5;
        EXPECT_FALSE(SplitHouseNumber(text, 1, 9999, parts)) << text;
        EXPECT_EQ(parts.number, -5) << text;
    }
    CHouseNumberParts parts;
    EXPECT_TRUE(SplitHouseNumber("9999", 1, 9999, parts));
    EXPECT_FALSE(SplitHouseNumber("7", 1, 5, parts)) << "a single digit above the largest";
    EXPECT_TRUE(SplitHouseNumber("5", 1, 5, parts));
}

class CHintLog : public IDocumentObserver {
public:
    void OnUpdate(CDrelDoc&, uint32_t hint) override { hints.push_back(hint); }
    std::vector<uint32_t> hints;
};

// A map with a street layer and an address layer, each over a table of
// the temporary folder.
class AddressRecordTest : public ::testing::Test {
protected:
    AddressRecordTest()
    {
        CDbfTable streets;
        EXPECT_TRUE(streets.Create(dir.File("gatves.dbf"), FieldList({{"PAVAD", 'C', 40, 0}, {"KODAS", 'C', 8, 0}}).data()));
        const std::pair<const char*, const char*> rows[] = {
            {"Vilniaus g.", "20"}, {"Ąžuolų g.", "10"}, {"Vilniaus g.", "20"}, {"", "30"},
            {"Be kodo g.", "0"},   {"Raidžių g.", "abc"}, {"Beržų g.", "40"},
        };
        for (const auto& [name, code] : rows) {
            streets.AppendBlank();
            streets.SetField(0, Utf8ToCp1257(name));
            streets.SetField(1, code);
            EXPECT_TRUE(streets.WriteRecord());
        }
        auto streetLayer = std::make_unique<CLayer>("Gatvės", dir.File("gatves.dbf"), CLayer::kLine);
        streetLayer->SetIdField("PAVAD");
        doc.AddLayer(std::move(streetLayer), false);
        CMapSettings& s = doc.Settings();
        s.streetsLayer = "Gatvės";
        s.codeField = "KODAS";
        s.addressesLayer = "Adresai";
        s.streetCodeField = "GAT";
        s.numField = "NR";
        s.letterField = "R";
        s.streetCodeField2 = "GAT2";
        s.numField2 = "NR2";
        s.letterField2 = "R2";
        s.placemarksLayer = "My Placemarks";
        doc.AddObserver(&hints);
    }
    ~AddressRecordTest() override { doc.RemoveObserver(&hints); }

    // An address layer over a table of the fields, standing on its one record.
    CLayer& AddressLayer(std::initializer_list<FieldSpec> fields, const char* idField = "ADRESAS")
    {
        EXPECT_TRUE(table.Create(dir.File("adresai.dbf"), FieldList(fields).data()));
        table.AppendBlank();
        EXPECT_TRUE(table.WriteRecord());
        auto layer = std::make_unique<CLayer>("Adresai", dir.File("adresai.dbf"), CLayer::kPoint);
        layer->SetIdField(idField);
        CLayer* added = layer.get();
        doc.AddLayer(std::move(layer), false);
        return *added;
    }
    std::string Field(const char* name)
    {
        std::string text;
        table.GetFieldString(table.FindField(name), text);
        return text;
    }
    // The prompt that records what it was given and answers as told.
    CAddressEntryPrompt Prompt(bool ok, std::function<void(CAddressEntryValues&)> type = {})
    {
        return [this, ok, type](CAddressEntryValues& values, CLayer& streets, CDrelDoc&) {
            ++prompts;
            given = values;
            EXPECT_EQ(streets.GetName(), "Gatvės");
            if (type)
                type(values);
            return ok;
        };
    }

    CTempDir dir;
    CDrelDoc doc;
    CDbfTable table;
    CHintLog hints;
    CScriptedUserServices user;
    int prompts = 0;
    CAddressEntryValues given;
};

const std::initializer_list<FieldSpec> kAllFields = {{"GAT", 'N', 8, 0}, {"NR", 'N', 4, 0},   {"R", 'C', 1, 0},
                                                     {"GAT2", 'N', 8, 0}, {"NR2", 'N', 4, 0}, {"R2", 'C', 1, 0},
                                                     {"ADRESAS", 'C', 20, 0}};

TEST_F(AddressRecordTest, HandledFieldsDecideWhetherTheFormFollows)
{
    struct Case {
        const char* name;
        std::vector<FieldSpec> fields;
        const char* idField;
        int result;
        bool second;
    };
    const std::vector<Case> cases = {
        {"code and number of three fields", {{"GAT", 'N', 8, 0}, {"NR", 'N', 4, 0}, {"X", 'C', 5, 0}}, "", 1, false},
        {"exactly the handled fields", {{"GAT", 'N', 8, 0}, {"NR", 'N', 4, 0}, {"R", 'C', 1, 0}, {"ADRESAS", 'C', 20, 0}},
         "ADRESAS", 2, false},
        {"both addresses and the name", std::vector<FieldSpec>(kAllFields), "ADRESAS", 2, true},
        // A name field that is an address field counts once.
        {"the name field is the number", {{"GAT", 'N', 8, 0}, {"NR", 'N', 4, 0}, {"R", 'C', 1, 0}}, "NR", 2, false},
        // The second code without the second number: counted, not entered.
        {"second code alone", {{"GAT", 'N', 8, 0}, {"NR", 'N', 4, 0}, {"GAT2", 'N', 8, 0}}, "", 2, false},
        {"second number alone", {{"GAT", 'N', 8, 0}, {"NR", 'N', 4, 0}, {"NR2", 'N', 4, 0}, {"Y", 'C', 2, 0}}, "",
         1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        table.Close();
        doc.RemoveLayer(doc.Layers().FindByName("Adresai"), false, true, false);
        prompts = 0;
        EXPECT_TRUE(table.Create(dir.File("adresai.dbf"), [&] {
                                     std::vector<CDbfFieldInfo> list;
                                     for (const FieldSpec& s : c.fields)
                                         list.emplace_back().Set(s.name, s.type, s.length, s.decimals);
                                     list.emplace_back().Set("", 0, 0, 0);
                                     return list;
                                 }().data()));
        table.AppendBlank();
        ASSERT_TRUE(table.WriteRecord());
        auto layer = std::make_unique<CLayer>("Adresai", dir.File("adresai.dbf"), CLayer::kPoint);
        layer->SetIdField(c.idField);
        CLayer& added = *layer;
        doc.AddLayer(std::move(layer), false);
        EXPECT_EQ(EditAddressRecord(table, doc, added, Prompt(true, [](CAddressEntryValues& v) {
                      v.streetCode = 20;
                      v.number = "12A";
                  })),
                  c.result);
        EXPECT_EQ(prompts, 1);
        EXPECT_EQ(given.secondAddress, c.second);
        EXPECT_EQ(Field("GAT"), "20");
        EXPECT_EQ(Field("NR"), "12");
    }
}

TEST_F(AddressRecordTest, WithoutItsStreetLayerOrFieldsTheStepDoesNotApply)
{
    CLayer& layer = AddressLayer(kAllFields);
    struct Case {
        const char* name;
        std::function<void()> spoil;
    };
    const CMapSettings kept = doc.Settings();
    const Case cases[] = {
        {"no street layer", [&] { doc.Settings().streetsLayer = "Nėra"; }},
        {"street layer unset", [&] { doc.Settings().streetsLayer.clear(); }},
        {"no street code field", [&] { doc.Settings().codeField.clear(); }},
        {"no street name field", [&] { doc.Layers().FindByName("Gatvės")->SetIdField(""); }},
        {"no street code field in the table", [&] { doc.Settings().streetCodeField = "NERA"; }},
        {"no number field in the table", [&] { doc.Settings().numField.clear(); }},
        {"another layer", [&] { doc.Settings().addressesLayer = "Kiti"; }},
        {"not a point layer", [&] { layer.SetType(CLayer::kLine); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc.Settings() = kept;
        doc.Layers().FindByName("Gatvės")->SetIdField("PAVAD");
        layer.SetType(CLayer::kPoint);
        c.spoil();
        prompts = 0;
        EXPECT_EQ(EditAddressRecord(table, doc, layer, Prompt(true)), kRecordNotHandled);
        EXPECT_EQ(prompts, 0);
    }
    doc.Settings() = kept;
    doc.Layers().FindByName("Gatvės")->SetIdField("PAVAD");
    layer.SetType(CLayer::kPoint);
    EXPECT_EQ(EditAddressRecord(table, doc, layer, Prompt(false)), kRecordNotHandled) << "cancelled";
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(Field("ADRESAS"), "");
}

TEST_F(AddressRecordTest, TheEntryStartsWithTheRecordsAddresses)
{
    CLayer& layer = AddressLayer(kAllFields);
    const auto start = [&](long code, long number, const char* letter, long code2, long number2, const char* letter2) {
        table.SetFieldLong(table.FindField("GAT"), code);
        table.SetFieldLong(table.FindField("NR"), number);
        table.SetField(table.FindField("R"), letter);
        table.SetFieldLong(table.FindField("GAT2"), code2);
        table.SetFieldLong(table.FindField("NR2"), number2);
        table.SetField(table.FindField("R2"), letter2);
        EditAddressRecord(table, doc, layer, Prompt(false));
    };
    start(20, 12, "A", 10, 5, "");
    EXPECT_EQ(given.streetCode, 20);
    EXPECT_EQ(given.number, "12A");
    EXPECT_EQ(given.streetCode2, 10);
    EXPECT_EQ(given.number2, "5");
    EXPECT_EQ(given.maxNumber, 9999);
    // A number of 0 shows empty, its letter too.
    start(20, 0, "B", 0, -3, "C");
    EXPECT_EQ(given.number, "");
    EXPECT_EQ(given.number2, "");
}

TEST_F(AddressRecordTest, OkStoresNumbersLettersAndTheName)
{
    CLayer& layer = AddressLayer(kAllFields);
    struct Case {
        const char* number;
        const char* number2;
        const char* nr;
        const char* r;
        const char* nr2;
        const char* name;
    };
    const Case cases[] = {
        {"12A", "5", "12", "A", "5", "12A/5"},
        {"7", "", "7", "", "0", "7"},
        {" 12A ", "0", "12", "A", "0", "12A"},
        // What is no number stores 0, the rest cut to the letter field.
        {"abc", "", "0", "a", "0", "abc"},
        {"", "", "0", "", "0", ""},
        {"12ABCDEFGH", "3b", "12", "A", "3", "12ABCDEFGH/3b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(EditAddressRecord(table, doc, layer, Prompt(true, [&](CAddressEntryValues& v) {
                      v.streetCode = 20;
                      v.streetCode2 = 40;
                      v.number = c.number;
                      v.number2 = c.number2;
                  })),
                  kRecordHandled);
        EXPECT_EQ(Field("GAT"), "20");
        EXPECT_EQ(Field("NR"), c.nr);
        EXPECT_EQ(Field("R"), c.r);
        EXPECT_EQ(Field("GAT2"), "40");
        EXPECT_EQ(Field("NR2"), c.nr2);
        EXPECT_EQ(Field("ADRESAS"), c.name);
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(AddressRecordTest, ANumberItsFieldCannotHoldIsRefusedAndNothingStored)
{
    CLayer& layer = AddressLayer(kAllFields);
    table.SetFieldLong(table.FindField("NR"), 8);
    const std::string code = Field("GAT"), second = Field("NR2");
    for (const auto& [number, number2] : {std::pair{"99999999999", "5"}, std::pair{"5", "10000"}}) {
        EXPECT_EQ(EditAddressRecord(table, doc, layer, Prompt(true, [&](CAddressEntryValues& v) {
                      v.streetCode = 20;
                      v.number = number;
                      v.number2 = number2;
                  })),
                  kRecordNotHandled);
        EXPECT_EQ(Field("NR"), "8");
        EXPECT_EQ(Field("GAT"), code);
        EXPECT_EQ(Field("NR2"), second);
        EXPECT_EQ(Field("ADRESAS"), "");
    }
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{61911, 61911}));
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Įveskite sveikąjį skaičių nuo 0 iki 9999."));
}

TEST_F(AddressRecordTest, PlacemarkRecordsGoThroughThePlacemarkDialog)
{
    CScriptedSearchDialogs dialogs;
    std::vector<uint32_t> heard;
    const auto run = [&](std::initializer_list<FieldSpec> fields, const char* name, const char* file, int type) {
        table.Close();
        EXPECT_TRUE(table.Create(dir.File(file), FieldList(fields).data()));
        table.AppendBlank();
        EXPECT_TRUE(table.WriteRecord());
        auto layer = std::make_unique<CLayer>(name, dir.File(file), type);
        CLayer& added = *layer;
        doc.AddLayer(std::move(layer), false);
        hints.hints.clear();
        dialogs.editedRecords.clear();
        const int result = EditAddressRecord(table, doc, added, Prompt(true));
        heard = hints.hints;
        doc.RemoveLayer(&added, false, true, false);
        return result;
    };
    const std::initializer_list<FieldSpec> five = {
        {"NAME", 'C', 30, 0}, {"DESCR", 'C', 100, 0}, {"LON", 'N', 13, 8}, {"LAT", 'N', 13, 8}, {"SYMBOL", 'N', 8, 0}};
    const std::initializer_list<FieldSpec> six = {{"NAME", 'C', 30, 0}, {"DESCR", 'C', 100, 0}, {"LON", 'N', 13, 8},
                                                  {"LAT", 'N', 13, 8},  {"SYMBOL", 'N', 8, 0},  {"EXTRA", 'C', 4, 0}};
    EXPECT_EQ(run(five, "My Placemarks", "MyWpt.dbf", CLayer::kPoint), kRecordHandled);
    EXPECT_EQ(dialogs.editedRecords, std::vector<int>{0});
    EXPECT_EQ(heard, std::vector<uint32_t>{kHintRedraw});
    EXPECT_EQ(run(six, "My Placemarks", "Mano.DBF", CLayer::kPoint), kRecordPartlyHandled);
    EXPECT_EQ(heard, std::vector<uint32_t>{kHintRedraw});
    // Not the placemark layer: another name, type or kind of file.
    EXPECT_EQ(run(five, "Kiti", "Kiti.dbf", CLayer::kPoint), kRecordNotHandled);
    EXPECT_EQ(run(five, "My Placemarks", "Linija.dbf", CLayer::kLine), kRecordNotHandled);
    EXPECT_EQ(run(five, "My Placemarks", "Taskai.gdb", CLayer::kPoint), kRecordNotHandled);
    EXPECT_TRUE(dialogs.editedRecords.empty());
    EXPECT_TRUE(heard.empty());
    dialogs.acceptPlacemark = false;
    EXPECT_EQ(run(five, "My Placemarks", "MyWpt.dbf", CLayer::kPoint), kRecordNotHandled);
    EXPECT_EQ(dialogs.editedRecords, std::vector<int>{0});
    EXPECT_TRUE(heard.empty()) << "nothing to redraw after a cancel";
}

std::string Shown(const CStreetChoice& choice)
{
    std::string shown;
    for (const CNameEntry& e : choice.entries)
        shown += (shown.empty() ? "" : " ") + e.text + ":" + std::to_string(e.record);
    return shown + " | " + std::to_string(choice.selected) + " " + std::to_string(choice.selected2);
}

TEST_F(AddressRecordTest, StreetBoxesListNamedStreetsWithCodes)
{
    std::vector<CNameEntry> entries;
    ASSERT_TRUE(ReadStreetEntries(*doc.Layers().FindByName("Gatvės"), "KODAS", entries));
    // Unnamed streets, codes of 0 and codes that are no number stay out.
    ASSERT_EQ(entries.size(), 4u);
    const CStreetChoice choice = MakeStreetChoice(entries, 20, 10);
    EXPECT_EQ(Shown(choice), Utf8ToCp1257("Ąžuolų g.:10 Beržų g.:40 Vilniaus g.:20 | 2 0"));

    // Without the code field, or the name field: message 1004.
    EXPECT_FALSE(ReadStreetEntries(*doc.Layers().FindByName("Gatvės"), "NERA", entries));
    doc.Layers().FindByName("Gatvės")->SetIdField("NERA");
    EXPECT_FALSE(ReadStreetEntries(*doc.Layers().FindByName("Gatvės"), "KODAS", entries));
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1004, 1004}));
}

TEST(StreetChoice, EqualNeighboursMergeKeepingTheSelection)
{
    struct Case {
        std::vector<CNameEntry> entries;
        int32_t code, code2;
        const char* shown;
    };
    const Case cases[] = {
        // Equal name and code merge; equal names of other codes stay.
        {{{"A", 1}, {"B", 2}, {"A", 1}, {"A", 3}, {"A", 1}}, 2, 0, "A:1 A:3 A:1 B:2 | 3 -1"},
        {{{"A", 1}, {"A", 1}, {"A", 1}}, 1, 1, "A:1 | 0 0"},
        {{{"B", 5}, {"A", 1}, {"A", 1}, {"C", 7}, {"C", 7}}, 7, 1, "A:1 B:5 C:7 | 2 0"},
        // Sorting keeps equal names in their order: A:1 A:3 A:1 stay apart.
        {{{"A", 1}, {"A", 3}, {"A", 1}}, 1, 3, "A:1 A:3 A:1 | 0 1"},
        {{}, 1, 1, " | -1 -1"},
        {{{"A", 1}}, 0, 9, "A:1 | -1 -1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Shown(MakeStreetChoice(c.entries, c.code, c.code2)), c.shown);
}

TEST(StreetChoice, TheCodeMeantIsTheSelectionsElseTheTypedNamesElse0)
{
    const std::vector<CNameEntry> entries = {{"A", 1}, {"B", 2}, {"B", 3}};
    EXPECT_EQ(ResolveStreetCode(entries, 2, "A"), 3);
    EXPECT_EQ(ResolveStreetCode(entries, -1, "B"), 2);
    EXPECT_EQ(ResolveStreetCode(entries, -1, "b"), 0) << "the exact text only";
    EXPECT_EQ(ResolveStreetCode(entries, -1, ""), 0);
    EXPECT_EQ(ResolveStreetCode(entries, 7, "C"), 0);
}

} // namespace
