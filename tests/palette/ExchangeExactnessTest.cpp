// Palette exchange held to other tools' rules: CIELab under the white point the file
// gives, CxF3 valid under the format's own schema, names no reader chokes on, large files
// read only as far as a palette needs, and files recognised by what they hold.

#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/CapsureQueries.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/palette/AseFile.h"
#include "engine/colour/CapsureImport.h"
#include "engine/colour/ChromaticAdaptation.h"
#include "engine/palette/CssFile.h"
#include "engine/colour/CxfFile.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/palette/PaletteExchange.h"
#include "engine/palette/PaletteImport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <libxml/xmlschemas.h>

#include <gtest/gtest.h>

#include <memory>

using namespace Vantor;
using Palettra::Test::StandardDeck;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
}

// The CxF3 core schema, as published with the format.
class CxfSchema
{
public:
    CxfSchema()
    {
        xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(PALETTRA_TEST_DATA_DIR "/cxf3/CxF3_Core.xsd");
        schema = xmlSchemaParse(parser);
        xmlSchemaFreeParserCtxt(parser);
    }
    ~CxfSchema() { xmlSchemaFree(schema); }
    CxfSchema(const CxfSchema &) = delete;
    CxfSchema &operator=(const CxfSchema &) = delete;

    bool loaded() const { return schema != nullptr; }
    // The problems the schema finds, empty for a valid document.
    QStringList problems(const QByteArray &bytes) const
    {
        QStringList found;
        xmlDocPtr document = xmlReadMemory(bytes.constData(), int(bytes.size()), "written.cxf", nullptr, XML_PARSE_NONET);
        if (!document)
            return {QStringLiteral("not well-formed XML")};
        xmlSchemaValidCtxtPtr validator = xmlSchemaNewValidCtxt(schema);
        xmlSchemaSetValidStructuredErrors(
            validator,
            [](void *context, xmlErrorPtr error) {
                static_cast<QStringList *>(context)->append(QString::fromUtf8(error->message).trimmed());
            },
            &found);
        if (xmlSchemaValidateDoc(validator, document) != 0 && found.isEmpty())
            found << QStringLiteral("invalid");
        xmlSchemaFreeValidCtxt(validator);
        xmlFreeDoc(document);
        return found;
    }

private:
    xmlSchemaPtr schema = nullptr;
};

QByteArray be16(quint16 value)
{
    return QByteArray(1, char(value >> 8)) + QByteArray(1, char(value & 0xff));
}

// A swatch exchange file of CIELab entries, as Adobe tools write them (L from 0 to 1).
QByteArray aseOfLab(const QVector<LabColour> &colours)
{
    QByteArray bytes = QByteArray("ASEF") + be16(1) + be16(0) + be16(0) + be16(quint16(colours.size()));
    for (int i = 0; i < colours.size(); ++i) {
        const QString name = QStringLiteral("c%1").arg(i);
        QByteArray content = be16(quint16(name.size() + 1));
        for (const QChar c : name)
            content += be16(c.unicode());
        content += be16(0) + QByteArray("LAB ", 4);
        for (double value : {colours.at(i).l / 100.0, colours.at(i).a, colours.at(i).b}) {
            const float single = float(value);
            quint32 bits;
            std::memcpy(&bits, &single, 4);
            content += be16(quint16(bits >> 16)) + be16(quint16(bits & 0xffff));
        }
        content += be16(2);
        bytes += be16(0x0001) + be16(quint16(content.size() >> 16)) + be16(quint16(content.size() & 0xffff)) + content;
    }
    return bytes;
}

// A CxF3 document of CIELab objects under a D50 colour specification, as measurement
// software writes them.
QByteArray cxfOfD50Lab(const QVector<LabColour> &colours)
{
    QByteArray xml = "<?xml version=\"1.0\"?><cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\"><cc:Resources>"
                     "<cc:ObjectCollection>";
    for (int i = 0; i < colours.size(); ++i) {
        xml += QStringLiteral("<cc:Object ObjectType=\"Standard\" Name=\"c%1\" Id=\"o%1\"><cc:ColorValues>"
                              "<cc:ColorCIELab ColorSpecification=\"M1_D50\"><cc:L>%2</cc:L><cc:A>%3</cc:A><cc:B>%4</cc:B>"
                              "</cc:ColorCIELab></cc:ColorValues></cc:Object>")
                   .arg(i)
                   .arg(colours.at(i).l, 0, 'f', 10)
                   .arg(colours.at(i).a, 0, 'f', 10)
                   .arg(colours.at(i).b, 0, 'f', 10)
                   .toUtf8();
    }
    return xml + "</cc:ObjectCollection><cc:ColorSpecificationCollection><cc:ColorSpecification Id=\"M1_D50\">"
                 "<cc:TristimulusSpec><cc:Illuminant>D50</cc:Illuminant><cc:Observer>2_Degree</cc:Observer>"
                 "<cc:Method>E308_Table5</cc:Method></cc:TristimulusSpec></cc:ColorSpecification>"
                 "</cc:ColorSpecificationCollection></cc:Resources></cc:CxF>";
}

} // namespace

// Every chip of the demo collections, written as exact D50 CIELab the way Adobe tools and
// measurement software write it, comes back as itself.
TEST(DemoExchange, D50ChipsComeBackAsThemselves)
{
    QTemporaryDir folder;
    QDir demo(QStringLiteral(PALETTRA_DEMO_DB));
    demo.cdUp();
    demo.cdUp();
    demo.cdUp(); // the database folder holds Contents/Resources
    ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), demo.path()), StartupOk);
    int chips = 0;
    int asTheyWere[2] = {0, 0};
    for (const QUuid &collection : DB::CollectionRegistry::instance().orderedCollectionUuids()) {
        QVector<DB::LabCandidate> candidates;
        ASSERT_EQ(DB::loadLabColors(collection, candidates), DB::StatusOk);
        QVector<LabColour> d50;
        for (const DB::LabCandidate &candidate : candidates)
            d50 << adaptLab(LabColour{candidate.l, candidate.a, candidate.b}, D65White, D50White);
        const QString ase = folder.filePath(QStringLiteral("chips.ase"));
        const QString cxf = folder.filePath(QStringLiteral("chips.cxf"));
        writeFile(ase, aseOfLab(d50));
        writeFile(cxf, cxfOfD50Lab(d50));
        int format = 0;
        for (const QString &path : {ase, cxf}) {
            const QVector<ExchangeMatch> matches = importPalette(path, collection, true).matches;
            ASSERT_EQ(matches.size(), candidates.size());
            for (int i = 0; i < matches.size(); ++i) {
                const bool itself = matches.at(i).found && matches.at(i).chip.id == candidates.at(i).rowId;
                asTheyWere[format] += itself ? 1 : 0;
                EXPECT_TRUE(itself) << path.toStdString() << " chip " << candidates.at(i).rowId;
                EXPECT_LT(matches.at(i).difference, 1e-3);
            }
            ++format;
        }
        chips += int(candidates.size());
    }
    EXPECT_GT(chips, 1900);
    EXPECT_EQ(asTheyWere[0], chips); // swatch exchange
    EXPECT_EQ(asTheyWere[1], chips); // CxF3
}

TEST(ChromaticAdaptation, WhitePointsAndRoundTrips)
{
    WhitePoint white;
    ASSERT_TRUE(illuminantWhitePoint(QStringLiteral(" d65 "), false, white));
    EXPECT_DOUBLE_EQ(white.z, D65White.z);
    ASSERT_TRUE(illuminantWhitePoint(QStringLiteral("D50"), true, white));
    EXPECT_DOUBLE_EQ(white.x, 0.96720);
    EXPECT_FALSE(illuminantWhitePoint(QStringLiteral("Custom"), false, white));
    // The white of one illuminant is the white of the other; D65 stays as it is.
    const LabColour paperWhite = adaptLab(LabColour{100.0, 0.0, 0.0}, D50White);
    EXPECT_NEAR(paperWhite.l, 100.0, 1e-9);
    EXPECT_NEAR(paperWhite.a, 0.0, 1e-9);
    EXPECT_NEAR(paperWhite.b, 0.0, 1e-9);
    const LabColour colour{52.3, -17.25, 33.5};
    const LabColour same = adaptLab(colour, D65White);
    EXPECT_EQ(same.l, colour.l);
    const LabColour back = adaptLab(adaptLab(colour, D65White, D50White), D50White);
    EXPECT_NEAR(back.l, colour.l, 1e-9);
    EXPECT_NEAR(back.a, colour.a, 1e-9);
    EXPECT_NEAR(back.b, colour.b, 1e-9);
}

class ExchangeExactnessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &w = deck.deck().writer();
        for (int page = 1; page <= 6; ++page) {
            for (int row = 1; row <= 3; ++row) {
                const LabColour lab = labFromColour(QColor(40 * page, 20 * row, 100));
                w.exec(QStringLiteral("UPDATE \"ROW\" SET L = ?, A = ?, B = ? WHERE ID = ?"),
                       {lab.l, lab.a, lab.b, deck.rowIdA(page, row)});
            }
        }
        for (int page = 1; page <= 2; ++page) {
            for (int row = 1; row <= 2; ++row) {
                const LabColour lab = labFromColour(QColor(10 * page, 10 * row, 10));
                w.exec(QStringLiteral("UPDATE \"ROW\" SET L = ?, A = ?, B = ? WHERE CODE = ?"),
                       {lab.l, lab.a, lab.b, QStringLiteral("B-%1-%2").arg(page).arg(row)});
            }
        }
        w.addSetting(deck.idA(), QStringLiteral("capsure.enabled"), 1);
        w.addSetting(deck.idA(), QStringLiteral("capsure.priority"), 1);
        ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
        ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), deck.baseFolder()), StartupOk);
        DB::loadOrderLists(A);
    }

    DB::ColorEntry colour(int page, int row)
    {
        DB::ColorEntry entry;
        EXPECT_EQ(DB::loadColorById(A, deck.rowIdA(page, row), entry), DB::StatusOk);
        return entry;
    }

    QString file(const QString &name) const { return files.filePath(name); }

    StandardDeck deck;
    QTemporaryDir files;
    const QUuid A = StandardDeck::A;
    const QUuid B = StandardDeck::B;
};

TEST_F(ExchangeExactnessTest, EveryCxfWeWriteIsValidUnderTheCoreSchema)
{
    const CxfSchema schema;
    ASSERT_TRUE(schema.loaded());
    const QString hostile = QStringLiteral("Bell\u0007 tab\u000B and ") + QChar(0xD800) + QStringLiteral(" alone ")
        + QChar(0xFFFE) + QStringLiteral("\u00e9 ok");
    MyPaletteModel palette(MyPaletteModel::Storage::MemoryOnly);
    QVector<QByteArray> documents;
    palette.setDescription(hostile);
    documents << exchangeBytes(palette, ExchangeFormat::Cxf, QString()); // empty palette
    for (int i = 0; i < 5; ++i)
        palette.setCell(MyPaletteModel::gridOrder().at(i), A, colour(i + 1, 2));
    documents << exchangeBytes(palette, ExchangeFormat::Cxf, QString());
    // What palettra-db cxf writes: names alone, and names with values.
    CxfObject named;
    named.name = QStringLiteral("A-4-2");
    CxfObject measured;
    measured.name = hostile;
    measured.hasLab = true;
    measured.lab = {61.5, -3.25, 12.0};
    measured.hasRgb = true;
    measured.rgb = QColor(150, 151, 130);
    documents << cxfDocument(QStringLiteral("Capsure measurement"), {named, measured, named});
    for (const QByteArray &document : documents) {
        const QStringList problems = schema.problems(document);
        EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString() << "\n" << document.constData();
    }
    // The description reads back without the characters XML cannot carry.
    const QString path = file(QStringLiteral("hostile.cxf"));
    writeFile(path, documents.at(1));
    const PaletteImport read = importPalette(path, A, true);
    EXPECT_EQ(read.description, QStringLiteral("Bell tab and  alone \u00e9 ok"));
    ASSERT_EQ(read.matches.size(), 5);
    // Written for D65, read as D65: unchanged.
    EXPECT_NEAR(read.matches.at(0).colour.lab.l, colour(1, 2).l, 1e-4);
}

TEST_F(ExchangeExactnessTest, CssNamesAreUniqueAndSwatchNamesFitTheirLength)
{
    QVector<ExchangeChip> chips;
    for (const char *code : {"OA 01-1", "OA-01.1", "oa 01 1", "OA 01 1 2"}) {
        ExchangeChip chip;
        chip.code = QLatin1String(code);
        chip.rgb = QColor(10 * chips.size(), 20, 30);
        chips << chip;
    }
    const QString css = QString::fromUtf8(cssBytes(QStringLiteral("Clash"), chips));
    const QRegularExpression property(QStringLiteral("--([a-z0-9_-]+): (#[0-9a-f]{6});"));
    QStringList names;
    QStringList values;
    for (auto it = property.globalMatch(css); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        names << match.captured(1);
        values << match.captured(2);
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("oa-01-1"), QStringLiteral("oa-01-1-2"), QStringLiteral("oa-01-1-3"),
                                  QStringLiteral("oa-01-1-2-2")}));
    EXPECT_EQ(values.size(), 4);

    // A name far beyond the 16-bit length field is cut to what the field holds, between
    // two characters, and the file stays readable.
    ExchangeChip longName;
    longName.code = QString(69999, QLatin1Char('x')) + QString::fromUtf16(u"\U0001F3A8");
    longName.rgb = QColor(1, 2, 3);
    ExchangeChip after;
    after.code = QStringLiteral("after");
    after.rgb = QColor(4, 5, 6);
    for (const QString &group : {QStringLiteral("short"), QString(70000, QLatin1Char('g'))}) {
        ImportedPalette read;
        ASSERT_TRUE(readAse(aseBytes(group, {longName, after}), read));
        ASSERT_EQ(read.colours.size(), 2);
        EXPECT_EQ(read.colours.at(0).name.size(), 65534);
        EXPECT_EQ(read.colours.at(1).name, QStringLiteral("after"));
        EXPECT_EQ(read.colours.at(1).rgb, QColor(4, 5, 6));
        EXPECT_LE(read.description.size(), 65534);
    }
    // A surrogate pair across the cut is left out whole.
    ExchangeChip pair;
    pair.code = QString(65533, QLatin1Char('y')) + QString::fromUtf16(u"\U0001F3A8");
    ImportedPalette read;
    ASSERT_TRUE(readAse(aseBytes(QStringLiteral("g"), {pair}), read));
    ASSERT_EQ(read.colours.size(), 1);
    EXPECT_EQ(read.colours.at(0).name, QString(65533, QLatin1Char('y')));
}

// Files far larger than a palette: read only as far as the palette fills.
TEST_F(ExchangeExactnessTest, LargeFilesFillThePaletteFromTheirStart)
{
    QByteArray gpl = "GIMP Palette\nName: Huge\n";
    int lines = 0;
    while (gpl.size() < MaximumExchangeFileSize - 32) {
        gpl += QByteArray::number(lines % 256) + ' ' + QByteArray::number((lines / 256) % 256) + " 100 colour\n";
        ++lines;
    }
    EXPECT_GT(lines, 200000);
    writeFile(file(QStringLiteral("huge.gpl")), gpl);
    PaletteImport imported = importPalette(file(QStringLiteral("huge.gpl")), A);
    ASSERT_TRUE(imported.succeeded());
    ASSERT_EQ(imported.cells.size(), 24);
    EXPECT_EQ(imported.description, QStringLiteral("Huge"));
    // The nearest chips of the first 24 colours, in order.
    ImportedPalette firstLines;
    ASSERT_TRUE(readExchangeBytes(gpl, ExchangeFormat::Gpl, firstLines, 24));
    const QVector<ExchangeMatch> expected = matchImportedColours(firstLines, A);
    ASSERT_EQ(expected.size(), 24);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(imported.cells.at(i).chip.id, expected.at(i).chip.id) << i;

    // 20,001 measured objects, most of them names alone and repeated.
    QByteArray cxf = "<?xml version=\"1.0\"?><cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\"><cc:Resources>"
                     "<cc:ObjectCollection>";
    const QStringList names{QStringLiteral("A-4-2"), QStringLiteral("nobody knows me"), QStringLiteral("a-1-3")};
    for (int i = 0; i < 20001; ++i)
        cxf += QStringLiteral("<cc:Object ObjectType=\"Standard\" Name=\"%1\" Id=\"o%2\"/>").arg(names.at(i % 3)).arg(i).toUtf8();
    cxf += "</cc:ObjectCollection></cc:Resources></cc:CxF>";
    writeFile(file(QStringLiteral("measured.cxf")), cxf);
    const QStringList measuredNames = capsureMeasurementNames(file(QStringLiteral("measured.cxf")));
    ASSERT_EQ(measuredNames.size(), 20001);
    const QVector<DB::ColorEntry> matches = capsureMatches(measuredNames);
    ASSERT_EQ(matches.size(), 2);
    EXPECT_EQ(matches.at(0).id, deck.rowIdA(4, 2));
    EXPECT_EQ(matches.at(1).id, deck.rowIdA(1, 3));
    imported = importPalette(file(QStringLiteral("measured.cxf")), A);
    ASSERT_EQ(imported.cells.size(), 24);
    EXPECT_EQ(imported.cells.at(0).chip.id, deck.rowIdA(4, 2));
    EXPECT_EQ(imported.cells.at(1).chip.id, deck.rowIdA(1, 3));
}

// A name alone is looked up in the current collection first, Capsure or not.
TEST_F(ExchangeExactnessTest, NamesAloneAreLookedUpInTheCollectionFirst)
{
    ImportedPalette palette;
    ImportedColour named;
    named.name = QStringLiteral("b-2-1");
    palette.colours << named;
    const QVector<ExchangeMatch> inB = matchImportedColours(palette, B);
    ASSERT_EQ(inB.size(), 1);
    ASSERT_TRUE(inB.first().found);
    EXPECT_EQ(inB.first().chip.code, QStringLiteral("B-2-1"));
}

// Files whose suffix is missing or wrong are recognised by what they hold; another tool's
// file that gives nothing says so in the panel and changes nothing.
TEST_F(ExchangeExactnessTest, PanelRecognisesFilesByContentAndSaysWhatWentWrong)
{
    setLastUsedCollection(A);
    MyPaletteWidget panel;
    panel.resize(564, 260);
    const DB::ColorEntry chip = colour(2, 2);
    const QByteArray gpl = QStringLiteral("GIMP Palette\nName: Living room\n%1 %2 %3 x\n")
                               .arg(chip.red)
                               .arg(chip.green)
                               .arg(chip.blue)
                               .toUtf8();
    const struct
    {
        const char *name;
        QByteArray bytes;
    } recognised[] = {{"living-room", gpl}, {"living-room.ase", gpl}, {"living-room.txt", gpl}};
    for (const auto &each : recognised) {
        SCOPED_TRACE(each.name);
        panel.model().clearAll(true);
        writeFile(file(QLatin1String(each.name)), each.bytes);
        panel.loadPaletteFrom(PaletteFileXml, file(QLatin1String(each.name)));
        EXPECT_EQ(panel.model().cell(QPoint(0, 0)).index.rowId, deck.rowIdA(2, 2));
        EXPECT_EQ(panel.model().description(), QStringLiteral("Living room"));
    }

    writeFile(file(QStringLiteral("broken.gpl")), "not a palette at all");
    panel.loadPaletteFrom(PaletteFileXml, file(QStringLiteral("broken.gpl")));
    EXPECT_EQ(panel.model().cell(QPoint(0, 0)).index.rowId, deck.rowIdA(2, 2));
    EXPECT_FALSE(panel.statusLabel()->isHidden());
    EXPECT_TRUE(panel.statusLabel()->toolTip().contains(QStringLiteral("not a palette")));
}
