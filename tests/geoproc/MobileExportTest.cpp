// The street data export for the handheld companion: the three special
// files against tables written out by hand, and the batch.
#include "geoproc/MobileExport.h"
#include "platform/AppFolders.h"
#include "platform/AppProfile.h"
#include "tests/geoproc/GeoprocTestSupport.h"
#include "tests/geoproc/MobileExportSupport.h"

namespace {

// A dBASE III table as the export's tables must be: the header (its date
// taken from the file written), the fields, the records of space-padded
// texts and right-aligned numbers, the end mark.
std::string HandMadeDbf(const std::string& written, const std::vector<FieldSpec>& fields,
                        const std::vector<std::vector<std::string>>& rows)
{
    int recordLength = 1;
    for (const FieldSpec& f : fields)
        recordLength += f.length;
    const int headerLength = 32 + 32 * static_cast<int>(fields.size()) + 1;
    std::string bytes(32, '\0');
    bytes[0] = 0x03;
    if (written.size() >= 4)
        bytes.replace(1, 3, written.substr(1, 3));
    PutInt32At(bytes, 4, static_cast<int32_t>(rows.size()));
    bytes[8] = static_cast<char>(headerLength & 0xFF);
    bytes[9] = static_cast<char>(headerLength >> 8);
    bytes[10] = static_cast<char>(recordLength & 0xFF);
    bytes[11] = static_cast<char>(recordLength >> 8);
    int offset = 1;
    for (const FieldSpec& f : fields) {
        std::string descriptor(32, '\0');
        descriptor.replace(0, std::strlen(f.name), f.name);
        descriptor[11] = f.type;
        // Where the field starts in the record.
        PutInt32At(descriptor, 12, offset);
        offset += f.length;
        descriptor[16] = static_cast<char>(f.length);
        descriptor[17] = static_cast<char>(f.decimals);
        bytes += descriptor;
    }
    bytes += '\x0D';
    for (const std::vector<std::string>& row : rows) {
        bytes += ' ';
        for (size_t i = 0; i < fields.size(); ++i) {
            const std::string& value = row[i];
            const size_t width = static_cast<size_t>(fields[i].length);
            const std::string pad(width - std::min(width, value.size()), ' ');
            bytes += fields[i].type == 'N' ? pad + value : value + pad;
        }
    }
    bytes += '\x1A';
    return bytes;
}

class MobileExportTest : public CGeoprocFixture {
protected:
    MobileExportTest()
    {
        SetUserFolderForTesting(dir.File("user/"));
        CAppProfile::Instance().SetFilePathForTesting(dir.File("Drel.ini"));
    }
    ~MobileExportTest() override
    {
        SetUserFolderForTesting("");
        CAppProfile::Instance().SetFilePathForTesting("");
    }

    CLayer& AddStreets(const std::vector<CStreetRow>& streets)
    {
        WriteStreetLayer(dir.File("gatves.gdb"), streets);
        doc.Settings().streetsLayer = Utf8ToCp1257("Gatvės");
        return Add(Utf8ToCp1257("Gatvės"), "gatves.gdb", CLayer::kLine);
    }
    CLayer& AddAddresses(const std::vector<CAddressRow>& addresses)
    {
        WriteAddressLayer(dir.File("adresai.gdb"), addresses);
        return Add("Adresai", "adresai.gdb", CLayer::kPoint);
    }
    CLayer& DefaultStreets() { return AddStreets(kSampleStreets); }
    std::string Out(const std::string& file) const { return dir.File("out/" + file); }
    // The labels of the streets, each as its line and its "ID".
    std::vector<std::string> Labels(CLayer& streets, CStreetIdMap& ids)
    {
        MakeFolders(dir.File("out/"));
        std::vector<std::string> labels;
        if (!ExportStreetLabels(&streets, Out("gatves.gdb"), ids))
            return labels;
        for (const CReadObject& label : ReadObjects(Out("gatves.gdb"), CLayer::kLine))
            labels.push_back(ShapeText(label.shape) + " " + label.fields.at("Id"));
        return labels;
    }
    static std::string Dbf(const std::string& gdb) { return ReadWholeFile(ChangeExtensionCopy(gdb, "dbf")); }
};

TEST_F(MobileExportTest, StreetNumbersAreSixHexDigitsAfter06)
{
    EXPECT_EQ(StreetIdText(26), "0600001A");
    EXPECT_EQ(StreetIdText(0), "06000000");
    EXPECT_EQ(StreetIdText(0xABCDEF), "06ABCDEF");
}

TEST_F(MobileExportTest, StreetLinesAreANetworkOfNamedDirectedLinks)
{
    CLayer& streets = DefaultStreets();
    streets.SetFilter("TIPAS > 0");
    MakeFolders(dir.File("out/"));
    ASSERT_TRUE(ExportStreetLines(doc, &streets, Out("gat_topo.gdb")));
    EXPECT_EQ(streets.GetFilter(), "TIPAS > 0");
    const std::string dbf = Dbf(Out("gat_topo.gdb"));
    EXPECT_EQ(dbf, HandMadeDbf(dbf, {{"NAME", 'C', 30, 0}, {"DIRECTION", 'N', 1, 0}},
                               {{"Vilniaus g.", "2"}, {"Vilniaus g.", "3"}, {"Be pavadinimo", ""}}));
    const std::vector<CReadObject> links = ReadObjects(Out("gat_topo.gdb"), CLayer::kLine);
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(ShapeText(links[0].shape), "0 0, 100 0");
    // Densified to pieces of at most 100.
    EXPECT_EQ(ShapeText(links[1].shape), "100 0, 183.3333333 0, 266.6666667 0, 350 0");
    EXPECT_EQ(ShapeText(links[2].shape), "500 500, 600 500");
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Pridėta taškų: 2\nKryptis neįrašyta objektų: 1"));
    // The temporary network is gone.
    EXPECT_EQ(FindMatchingFiles(dir.File("out/*")).size(), FindMatchingFiles(dir.File("out/gat_topo.*")).size());
}

TEST_F(MobileExportTest, ABlankDirectionCountsAsZero)
{
    CLayer& streets = AddStreets({{"0 0, 50 0", "Tilto g.", "", 1, 0, 1, "", "0"}});
    MakeFolders(dir.File("out/"));
    ASSERT_TRUE(ExportStreetLines(doc, &streets, Out("gat_topo.gdb")));
    const std::string dbf = Dbf(Out("gat_topo.gdb"));
    EXPECT_EQ(dbf, HandMadeDbf(dbf, {{"NAME", 'C', 30, 0}, {"DIRECTION", 'N', 1, 0}}, {{"Tilto g.", "3"}}));
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Pridėta taškų: 0"));
}

TEST_F(MobileExportTest, MarkedStreetsStayOutAndEndsWithinTwoMetresJoin)
{
    const std::vector<CDbfFieldInfo> fields =
        FieldList({{"PAVADINIM", 'C', 30, 0}, {"KRYPTIS", 'N', 2, 0}, {"TIPAS", 'N', 4, 0}, {"PG_NOTOPO", 'C', 1, 0}});
    {
        CGdbSource source;
        ASSERT_TRUE(source.Create(dir.File("gatves.gdb"), CLayer::kLine, fields.data()));
        const std::pair<const char*, const char*> rows[] = {
            {"0 0, 50 0", ""},   {"51.5 0, 90 0", ""},   {"0 10, 50 10", "1"},
            {"0 20, 50 20", ""}, {"0 30, 50 30", ""}, {"52.5 30, 90 30", ""}};
        int tipas = 1;
        for (const auto& [line, noTopo] : rows) {
            ASSERT_TRUE(source.AppendShape(Shape(line), false));
            CDbfTable& table = source.GetTable();
            table.SetField(0, "A");
            table.SetFieldLong(1, 1);
            // The last street is of a type the network leaves out.
            table.SetFieldLong(2, tipas++ == 4 ? 101 : 1);
            table.SetField(3, noTopo);
            ASSERT_TRUE(table.WriteRecord());
        }
    }
    CLayer& streets = Add("Gatvės", "gatves.gdb", CLayer::kLine);
    MakeFolders(dir.File("out/"));
    ASSERT_TRUE(ExportStreetLines(doc, &streets, Out("gat_topo.gdb")));
    std::vector<std::string> links;
    for (const CReadObject& link : ReadObjects(Out("gat_topo.gdb"), CLayer::kLine))
        links.push_back(ShapeText(link.shape));
    EXPECT_EQ(links,
              (std::vector<std::string>{"0 0, 50 0", "50 0, 90 0", "0 30, 50 30", "52.5 30, 90 30"}));
    EXPECT_EQ(streets.GetFilter(), "");
}

TEST_F(MobileExportTest, AVilniusMapIsThinnedBeforeDensifyingTo150)
{
    doc.SetPathName(dir.File("Vilnius.map"));
    CLayer& streets = AddStreets({{"0 0, 100 0.5, 200 0, 400 0", "Gedimino pr.", "3", 1, 0, 1, "", "1"}});
    MakeFolders(dir.File("out/"));
    ASSERT_TRUE(ExportStreetLines(doc, &streets, Out("gat_topo.gdb")));
    const std::vector<CReadObject> links = ReadObjects(Out("gat_topo.gdb"), CLayer::kLine);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(ShapeText(links[0].shape), "0 0, 133.3333333 0, 266.6666667 0, 400 0");
    EXPECT_EQ(links[0].fields.at("Direction"), "0");
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Pašalinta taškų: 2\nPridėta taškų: 2"));
}

TEST_F(MobileExportTest, LabelsJoinLinesOfOneCodeAndAddressesTakeTheirNumbers)
{
    CLayer& streets = DefaultStreets();
    CLayer& addresses = AddAddresses({
        {{10, 10}, "Vilniaus 5A", 26, "5", "A", 28, "7", ""},
        {{20, 20}, "Kita", 27, "1", "", 0, "0", ""},
        {{30, 30}, "Kauno", 28, "1234", "BC", 0, "", ""},
    });
    MakeFolders(dir.File("out/"));
    CStreetIdMap ids;
    ASSERT_TRUE(ExportStreetLabels(&streets, Out("gatves.gdb"), ids));
    EXPECT_EQ(ids, (CStreetIdMap{{26, 0}, {28, 1}}));
    std::string dbf = Dbf(Out("gatves.gdb"));
    EXPECT_EQ(dbf, HandMadeDbf(dbf, {{"LABEL", 'C', 30, 0}, {"NAME", 'C', 30, 0}, {"TOWN", 'C', 30, 0}, {"ID", 'C', 8, 0}},
                               {{"Vilniaus g.", "Vilniaus g.", "Kaunas", "06000000"}, {"", "", "", "06000001"}}));
    const std::vector<CReadObject> labels = ReadObjects(Out("gatves.gdb"), CLayer::kLine);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(ShapeText(labels[0].shape), "0 0, 100 0, 350 0");
    EXPECT_EQ(ShapeText(labels[1].shape), "500 500, 600 500");

    ASSERT_TRUE(ExportAddresses(&addresses, Out("adresai.gdb"), ids));
    dbf = Dbf(Out("adresai.gdb"));
    EXPECT_EQ(dbf, HandMadeDbf(dbf,
                               {{"NAME", 'C', 8, 0}, {"NOMER", 'C', 4, 0}, {"DROB", 'C', 4, 0}, {"KORPUS", 'C', 2, 0},
                                {"IDULITSY", 'C', 8, 0}},
                               {{"Vilniaus", "5A", "7", "", "06000000"},
                                {"Vilniaus", "7", "5A", "", "06000001"},
                                {"Kauno", "123B", "", "", "06000001"}}));
    const std::vector<CReadObject> points = ReadObjects(Out("adresai.gdb"), CLayer::kPoint);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].point, CMapPoint(10, 10));
    EXPECT_EQ(points[1].point, CMapPoint(10, 10));
    EXPECT_EQ(points[2].point, CMapPoint(30, 30));
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(MobileExportTest, ALabelNeedsANamedPieceOfItsOwnJoinedLine)
{
    // Street 30 runs in two pieces apart, only the lone one named; of
    // street 31's two joined lines one is named.
    CLayer& streets = AddStreets({
        {"0 0, 10 0", "Pirma g.", "0", 1, 1, 30, "", "0"},
        {"10 0, 20 0", "Pirma g.", "0", 1, 1, 30, "", "0"},
        {"100 0, 110 0", "Pirma g.", "0", 1, 0, 30, "", "0"},
        {"0 50, 10 50", "Antra g.", "0", 1, 1, 31, "", "0"},
        {"10 50, 20 50", "Antra g.", "0", 1, 0, 31, "", "0"},
    });
    CStreetIdMap ids;
    EXPECT_EQ(Labels(streets, ids),
              (std::vector<std::string>{"100 0, 110 0 06000000", "0 50, 10 50, 20 50 06000001"}));
    EXPECT_EQ(ids, (CStreetIdMap{{30, 0}, {31, 1}}));
}

TEST_F(MobileExportTest, LabelsComeFromEveryFileOfAStreetLayerOfSeveralFiles)
{
    WriteStreetLayer(dir.File("rytai.gdb"), {{"0 0, 10 0", "Rytu g.", "0", 1, 0, 40, "", "0"}});
    WriteStreetLayer(dir.File("vakarai.gdb"), {{"10 0, 20 0", "Rytu g.", "0", 1, 0, 40, "", "0"},
                                               {"0 9, 9 9", "Vakaru g.", "0", 1, 0, 41, "", "0"}});
    CLayer& streets = Add("Gatves", "rytai.gdb", CLayer::kLine);
    streets.AddFile(dir.File("rytai.gdb"));
    streets.AddFile(dir.File("vakarai.gdb"));
    CStreetIdMap ids;
    EXPECT_EQ(Labels(streets, ids), (std::vector<std::string>{"0 0, 10 0, 20 0 06000000", "0 9, 9 9 06000001"}));
    EXPECT_EQ(ids, (CStreetIdMap{{40, 0}, {41, 1}}));
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(MobileExportTest, AddressesWithoutTheirFieldsAreAnError)
{
    CLayer& points = AddPointLayer("Adresai", "taskai.gdb", {{0, 0}});
    MakeFolders(dir.File("out/"));
    EXPECT_FALSE(ExportAddresses(&points, Out("adresai.gdb"), {}));
    EXPECT_FALSE(ExportAddresses(nullptr, Out("adresai.gdb"), {}));
    ASSERT_EQ(user.messages.size(), 2u);
    EXPECT_EQ(user.messages[0].text, "Error: " + Out("adresai.gdb"));
    EXPECT_FALSE(FileExists(Out("adresai.gdb")));
}

TEST_F(MobileExportTest, TheBatchWritesEveryFileItCanAndTellsOfTheMissingOnes)
{
    CLayer& streets = DefaultStreets();
    streets.SetFilter("TIPAS <> 99");
    AddAddresses({{{10, 10}, "Vilniaus 5A", 26, "5", "A", 0, "", ""}});
    AddShapeLayer("Pastatai", "pastatai.gdb", CLayer::kArea, {"0 0, 10 0, 10 10, 0 0", "50 50, 60 50, 60 60, 50 50"});
    AddShapeLayer(Utf8ToCp1257("Rėmelis"), "remelis.gdb", CLayer::kArea, {"0 0, 100 0, 100 100, 0 100, 0 0"});
    AddPointLayer("POI-bankai", "bankai.gdb", {{5, 5}, {500, 500}, {50, 50}});
    AddShapeLayer(Utf8ToCp1257("Kvartalų ribos"), "kvartalai.gdb", CLayer::kArea, {"0 0, 20 0, 20 20, 0 20, 0 0"});
    AddShapeLayer("Sodai", "sodai.gdb", CLayer::kArea, {"10 10, 30 10, 30 30, 10 30, 10 10"});
    // An old file of a layer the map lacks stays as it was.
    MakeFolders(dir.File("user/temp/"));
    WriteWholeFile(dir.File("user/temp/tiltai.gdb"), "old");

    PrepareMobileData(doc);
    const std::string out = dir.File("user/temp/");
    for (const char* file : {"gatves.gdb", "adresai.gdb", "gat_topo.gdb", "pastatai.gdb", "Bankai.gdb",
                             "p_gatves.gdb", "kvartalai.gdb", "sodai.gdb"})
        EXPECT_TRUE(FileExists(out + file)) << file;
    EXPECT_EQ(ReadWholeFile(out + "tiltai.gdb"), "old");
    EXPECT_EQ(ReadObjects(out + "pastatai.gdb", CLayer::kArea).size(), 2u);
    EXPECT_EQ(ReadObjects(out + "Bankai.gdb", CLayer::kPoint).size(), 2u);
    const std::vector<CReadObject> gardens = ReadObjects(out + "sodai.gdb", CLayer::kArea);
    ASSERT_EQ(gardens.size(), 1u);
    EXPECT_DOUBLE_EQ(gardens[0].shape.Area(), 100);
    // The main streets, and the user's own filter back.
    EXPECT_EQ(ReadObjects(out + "p_gatves.gdb", CLayer::kLine).size(), 2u);
    EXPECT_EQ(streets.GetFilter(), "TIPAS <> 99");

    // What the batch told, in order: the added points, then each layer the map lacks.
    std::vector<std::string> errors;
    for (const auto& message : user.messages)
        if (message.text.rfind("Error: ", 0) == 0)
            errors.push_back(message.text.substr(7 + out.size()));
    EXPECT_EQ(errors, (std::vector<std::string>{"p_upes.gdb", "temp.gdb", "baznyc.gdb", "gelezink.gdb", "linijos.gdb",
                                                "stadion.gdb", "tiltai.gdb", "upeliai.gdb", "gyd_ist.gdb",
                                                "St_aikst.gdb", "Degalin.gdb", "Kavines.gdb", "pc.gdb",
                                                "Restoran.gdb", "Viesb.gdb", "aikstel.gdb", "kapines.gdb",
                                                "gyvenami.gdb", "pramon.gdb", "zali.gdb", "vandenys.gdb"}));
}

TEST_F(MobileExportTest, ALayerTheClipRefusesIsToldByTheFileOfTheFolder)
{
    // A frame of lines and a quarter layer of several files: neither can be clipped.
    AddShapeLayer(Utf8ToCp1257("Rėmelis"), "remelis.gdb", CLayer::kLine, {"0 0, 100 0"});
    AddPointLayer("POI-bankai", "bankai.gdb", {{5, 5}});
    AddShapeLayer(Utf8ToCp1257("Kvartalų ribos"), "kvartalai.gdb", CLayer::kArea, {"0 0, 20 0, 20 20, 0 20, 0 0"});
    CLayer& gardens = AddShapeLayer("Sodai", "sodai.gdb", CLayer::kArea, {"10 10, 30 10, 30 30, 10 30, 10 10"});
    gardens.AddFile(gardens.GetPath());
    PrepareMobileData(doc);
    const std::string out = dir.File("user/temp/");
    std::vector<std::string> errors;
    for (const auto& message : user.messages)
        errors.push_back(message.text);
    for (const char* file : {"Bankai.gdb", "sodai.gdb"}) {
        EXPECT_NE(std::find(errors.begin(), errors.end(), "Error: " + out + file), errors.end()) << file;
        EXPECT_FALSE(FileExists(out + file)) << file;
    }
    EXPECT_TRUE(FindMatchingFiles(out + "~*").empty());
}

TEST_F(MobileExportTest, AKaunasMapCopiesTheQuartersAndTheProfileNamesTheFolder)
{
    doc.SetPathName(dir.File("Kaunas.map"));
    CAppProfile::Instance().WriteString("MobileExport", "Folder", dir.File("kitur"));
    AddShapeLayer("Sodai", "sodai.gdb", CLayer::kArea, {"10 10, 30 10, 30 30, 10 30, 10 10"});
    PrepareMobileData(doc);
    const std::vector<CReadObject> gardens = ReadObjects(dir.File("kitur/sodai.gdb"), CLayer::kArea);
    ASSERT_EQ(gardens.size(), 1u);
    EXPECT_DOUBLE_EQ(gardens[0].shape.Area(), 400);
    EXPECT_FALSE(FileExists(dir.File("user/temp/sodai.gdb")));
}

} // namespace
