#include "DatabaseSchema.h"

namespace Vantor::DB::Schema {

const char *const GlobalSettingTable = "GLOBALSETTING";
const char *const CollectionTable = "COLLECTION";
const char *const MoodTable = "MOOD";
const char *const SchemeTable = "SCHEME";
const char *const SettingTable = "SETTING";
const char *const LocaleTable = "LOCALE";
const char *const ThemeTable = "THEME";
const char *const PageTable = "PAGE";
const char *const RowTable = "ROW";
const char *const RowNameTable = "ROW_NAME";
const char *const PageSchemeTable = "PAGE_SCHEME";
const char *const ProductGroupTable = "PRODUCT_GROUP";
const char *const ProductTable = "PRODUCT";
const char *const ProductProductGroupMapTable = "PRODUCT_PRODUCT_GROUP_MAP";
const char *const RowProductMapTable = "ROW_PRODUCT_MAP";
const char *const RowProductGroupMapTable = "ROW_PRODUCT_GROUP_MAP";
const char *const ProspectGroupTable = "PROSPECT_GROUP";
const char *const ProspectEntryTable = "PROSPECT_ENTRY";
const char *const TextureTable = "TEXTURE";
const char *const TextureMapTable = "TEXTURE_MAP";
const char *const CapsureCollectionIdsByPriorityView = "CAPSURE_COLLECTION_IDS_BY_PRIORITY";

#define PALETTRA_ID "ID integer PRIMARY KEY AUTOINCREMENT NOT NULL"
#define PALETTRA_COLLECTION_FK \
    "FOREIGN KEY (COLLECTION_ID) REFERENCES COLLECTION(ID) ON DELETE CASCADE ON UPDATE RESTRICT"

const char *const CreateGlobalSetting =
    "CREATE TABLE GLOBALSETTING ("
    "NAME varchar(256) PRIMARY KEY NOT NULL COLLATE NOCASE, "
    "VALUE NOT NULL)";

const char *const CreateCollection =
    "CREATE TABLE COLLECTION (" PALETTRA_ID ", "
    "UUID varchar(64) NOT NULL UNIQUE COLLATE NOCASE, "
    "SYSTEMID varchar(32) NOT NULL UNIQUE COLLATE NOCASE, "
    "VERSION integer NOT NULL DEFAULT 1, "
    "NAME varchar(128) NOT NULL COLLATE NOCASE, "
    "\"ORDER\" integer NOT NULL DEFAULT 1)";

const char *const CreateMood =
    "CREATE TABLE MOOD (" PALETTRA_ID ", "
    "COLLECTION_ID integer NOT NULL, "
    "NAME varchar(32) NOT NULL COLLATE NOCASE, " PALETTRA_COLLECTION_FK ")";

const char *const CreateScheme =
    "CREATE TABLE SCHEME (" PALETTRA_ID ", "
    "COLLECTION_ID integer NOT NULL, "
    "NAME varchar(32) NOT NULL COLLATE NOCASE, " PALETTRA_COLLECTION_FK ")";

const char *const CreateSetting =
    "CREATE TABLE SETTING (" PALETTRA_ID ", "
    "COLLECTION_ID integer NOT NULL, "
    "NAME varchar(255) NOT NULL COLLATE NOCASE, "
    "VALUE TEXT NOT NULL, "
    "VALUE_INDEX integer NOT NULL DEFAULT 0, " PALETTRA_COLLECTION_FK ")";

const char *const CreateLocale =
    "CREATE TABLE LOCALE (" PALETTRA_ID ", "
    "COLLECTION_ID integer NOT NULL, "
    "LOCALE varchar(32) NOT NULL COLLATE NOCASE DEFAULT '', "
    "ITEM_ID integer, "
    "\"KEY\" varchar(255) NOT NULL COLLATE NOCASE, "
    "STRING text NOT NULL COLLATE NOCASE, " PALETTRA_COLLECTION_FK ")";

const char *const CreateTheme =
    "CREATE TABLE THEME (" PALETTRA_ID ", "
    "COLLECTION_ID integer NOT NULL, "
    "ITEM_KEY varchar(255) NOT NULL COLLATE NOCASE, "
    "ITEM_DATA blob NOT NULL, " PALETTRA_COLLECTION_FK ")";

const char *const CreatePage =
    "CREATE TABLE PAGE (" PALETTRA_ID ", "
    "COLLECTION_ID integer NOT NULL, "
    "PAGE_INDEX integer NOT NULL CHECK (PAGE_INDEX > 0), "
    "SEGMENT integer NOT NULL CHECK (SEGMENT > 0), "
    "NAME varchar(255) NOT NULL COLLATE NOCASE, "
    "EXTERIOR integer NOT NULL DEFAULT 0, "
    "MOOD integer NOT NULL DEFAULT 0, " PALETTRA_COLLECTION_FK ")";

const char *const CreateRow =
    "CREATE TABLE \"ROW\" (" PALETTRA_ID ", "
    "COLLECTION_ID integer NOT NULL, "
    "PAGE_ID integer NOT NULL, "
    "ROW_INDEX integer NOT NULL CHECK (ROW_INDEX > 0), "
    "CODE varchar(32) NOT NULL COLLATE NOCASE DEFAULT '', "
    "NAME varchar(128) NOT NULL COLLATE NOCASE DEFAULT '', "
    "SEGMENT integer NOT NULL CHECK (SEGMENT > 0), "
    "RED integer NOT NULL CHECK (RED >= 0 AND RED < 256), "
    "GREEN integer NOT NULL CHECK (GREEN >= 0 AND GREEN < 256), "
    "BLUE integer NOT NULL CHECK (BLUE >= 0 AND BLUE < 256), "
    "L real NOT NULL CHECK (L >= 0 AND L <= 100), "
    "A real NOT NULL CHECK (A >= -128 AND A <= 127), "
    "B real NOT NULL CHECK (B >= -128 AND B <= 127), "
    "NEUTRAL integer NOT NULL DEFAULT 0, "
    "WHITE integer NOT NULL DEFAULT 0, "
    "MOOD integer NOT NULL DEFAULT 0, "
    "SCHEME_POS integer NOT NULL DEFAULT 0 CHECK (SCHEME_POS >= -1), "
    "NSCHEME_POS integer NOT NULL DEFAULT 0 CHECK (NSCHEME_POS >= -1), " PALETTRA_COLLECTION_FK ", "
    "FOREIGN KEY (PAGE_ID) REFERENCES PAGE(ID) ON DELETE CASCADE ON UPDATE RESTRICT)";

const char *const CreateRowName =
    "CREATE TABLE ROW_NAME ("
    "ROW_ID integer NOT NULL ON CONFLICT FAIL, "
    "NAME_INDEX integer NOT NULL DEFAULT 1 CHECK (NAME_INDEX > 0), "
    "NAME varchar(128) NOT NULL ON CONFLICT FAIL COLLATE NOCASE CHECK (LENGTH(TRIM(NAME)) > 0), "
    "AUXILIARY_INFO integer NOT NULL DEFAULT 0, "
    "PRIMARY KEY (ROW_ID, NAME_INDEX), "
    "FOREIGN KEY (ROW_ID) REFERENCES \"ROW\"(ID) ON DELETE CASCADE ON UPDATE RESTRICT)";

const char *const CreatePageScheme =
    "CREATE TABLE PAGE_SCHEME (" PALETTRA_ID ", "
    "COLLECTION_ID integer NOT NULL, "
    "PAGE_ID integer NOT NULL, "
    "SCHEME_PAGE_ID integer NOT NULL, "
    "SCHEME_ID integer NOT NULL, "
    "\"ORDER\" integer NOT NULL DEFAULT 0, " PALETTRA_COLLECTION_FK ", "
    "FOREIGN KEY (SCHEME_ID) REFERENCES SCHEME(ID) ON DELETE CASCADE ON UPDATE RESTRICT, "
    "FOREIGN KEY (SCHEME_PAGE_ID) REFERENCES PAGE(ID) ON DELETE CASCADE ON UPDATE RESTRICT, "
    "FOREIGN KEY (PAGE_ID) REFERENCES PAGE(ID) ON DELETE CASCADE ON UPDATE RESTRICT)";

const char *const CreateProductGroup =
    "CREATE TABLE PRODUCT_GROUP (" PALETTRA_ID ", NAME varchar(128) NOT NULL)";

const char *const CreateProduct =
    "CREATE TABLE PRODUCT (" PALETTRA_ID ", NAME varchar(128) NOT NULL)";

const char *const CreateProductProductGroupMap =
    "CREATE TABLE PRODUCT_PRODUCT_GROUP_MAP ("
    "PRODUCT_GROUP_ID integer, "
    "PRODUCT_ID integer, "
    "FOREIGN KEY (PRODUCT_ID) REFERENCES PRODUCT(ID) ON DELETE SET NULL ON UPDATE SET NULL, "
    "FOREIGN KEY (PRODUCT_GROUP_ID) REFERENCES PRODUCT_GROUP(ID) ON DELETE SET NULL ON UPDATE SET NULL)";

const char *const CreateRowProductMap =
    "CREATE TABLE ROW_PRODUCT_MAP ("
    "COLLECTION_ID integer NOT NULL, "
    "ROW_ID integer, "
    "PRODUCT_ID integer, " PALETTRA_COLLECTION_FK ", "
    "FOREIGN KEY (ROW_ID) REFERENCES \"ROW\"(ID) ON DELETE SET NULL ON UPDATE SET NULL, "
    "FOREIGN KEY (PRODUCT_ID) REFERENCES PRODUCT(ID) ON DELETE SET NULL ON UPDATE SET NULL)";

const char *const CreateRowProductGroupMap =
    "CREATE TABLE ROW_PRODUCT_GROUP_MAP ("
    "COLLECTION_ID integer NOT NULL, "
    "ROW_ID integer, "
    "PRODUCT_GROUP_ID integer, " PALETTRA_COLLECTION_FK ", "
    "FOREIGN KEY (ROW_ID) REFERENCES \"ROW\"(ID) ON DELETE SET NULL ON UPDATE SET NULL, "
    "FOREIGN KEY (PRODUCT_GROUP_ID) REFERENCES PRODUCT_GROUP(ID) ON DELETE SET NULL ON UPDATE SET NULL)";

const char *const CreateProspectGroup =
    "CREATE TABLE PROSPECT_GROUP (" PALETTRA_ID ", "
    "COLLECTION_ID integer NOT NULL, "
    "NAME text NOT NULL DEFAULT '', "
    "DEFAULT_OPEN integer NOT NULL DEFAULT 0, "
    "\"ORDER\" integer NOT NULL DEFAULT 0, " PALETTRA_COLLECTION_FK ")";

const char *const CreateProspectEntry =
    "CREATE TABLE PROSPECT_ENTRY (" PALETTRA_ID ", "
    "COLLECTION_ID integer NOT NULL, "
    "PROSPECT_GROUP_ID integer NOT NULL, "
    "ROW_ID integer, "
    "NAME_1 varchar(64) NOT NULL COLLATE NOCASE DEFAULT '', "
    "NAME_2 varchar(64) NOT NULL COLLATE NOCASE DEFAULT '', "
    "RED integer NOT NULL DEFAULT 0 CHECK (RED >= 0 AND RED < 256), "
    "GREEN integer NOT NULL DEFAULT 0 CHECK (GREEN >= 0 AND GREEN < 256), "
    "BLUE integer NOT NULL DEFAULT 0 CHECK (BLUE >= 0 AND BLUE < 256), "
    "\"ORDER\" integer NOT NULL DEFAULT 0, " PALETTRA_COLLECTION_FK ", "
    "FOREIGN KEY (PROSPECT_GROUP_ID) REFERENCES PROSPECT_GROUP(ID) ON DELETE CASCADE ON UPDATE RESTRICT)";

const char *const CreateTexture =
    "CREATE TABLE TEXTURE (" PALETTRA_ID ", "
    "COLLECTION_ID integer NOT NULL, "
    "NAME varchar(64) NOT NULL DEFAULT '', "
    "IMAGE blob NOT NULL, "
    "BASE_ALPHA real NOT NULL DEFAULT 1.0 CHECK (BASE_ALPHA >= 0.0 AND BASE_ALPHA <= 1.0), "
    PALETTRA_COLLECTION_FK ")";

const char *const CreateTextureMap =
    "CREATE TABLE TEXTURE_MAP ("
    "TEXTURE_ID integer NOT NULL, "
    "PAGE_ID integer NOT NULL, "
    "ALPHA real NOT NULL DEFAULT 1.0 CHECK (ALPHA > 0 AND ALPHA <= 1.0), "
    "NAME varchar(64) NOT NULL DEFAULT '', "
    "FOREIGN KEY (TEXTURE_ID) REFERENCES TEXTURE(ID) ON DELETE CASCADE ON UPDATE RESTRICT, "
    "FOREIGN KEY (PAGE_ID) REFERENCES PAGE(ID) ON DELETE CASCADE ON UPDATE RESTRICT)";

#undef PALETTRA_ID
#undef PALETTRA_COLLECTION_FK

const char *const CreateIndexCollectionUuid = "CREATE UNIQUE INDEX UNQ_UUID ON COLLECTION (UUID)";
const char *const CreateIndexCollectionSystemId = "CREATE UNIQUE INDEX UNQ_SYSTEMID ON COLLECTION (SYSTEMID)";
const char *const CreateIndexCollectionOrder = "CREATE UNIQUE INDEX UNQ_ORDER ON COLLECTION (\"ORDER\")";
const char *const CreateIndexSettingNamePerCollection =
    "CREATE UNIQUE INDEX UNQ_SETTING_NAME_PER_COLLECTION ON SETTING "
    "(COLLECTION_ID ASC, NAME COLLATE NOCASE ASC, VALUE_INDEX ASC)";
const char *const CreateIndexPageIndexInCollection =
    "CREATE UNIQUE INDEX UNQ_PAGE_INDEX_IN_COLLECTION ON PAGE (COLLECTION_ID, PAGE_INDEX)";
const char *const CreateIndexPageNameInCollection =
    "CREATE UNIQUE INDEX UNQ_NAME_IN_COLLECTION ON PAGE (COLLECTION_ID, NAME)";
const char *const CreateIndexRowPageId = "CREATE INDEX IDX_PAGE_ID ON \"ROW\" (PAGE_ID)";
const char *const CreateIndexRowCollectionCode = "CREATE INDEX UNQ_COLLECTION_CODE ON \"ROW\" (COLLECTION_ID, CODE)";
const char *const CreateIndexRowNameName = "CREATE INDEX IDX_NAME ON ROW_NAME (NAME)";
const char *const CreateIndexPageSchemeOrder =
    "CREATE UNIQUE INDEX UNQ_PAGE_SCHEME_ORDER ON PAGE_SCHEME (PAGE_ID, SCHEME_ID, \"ORDER\")";
const char *const CreateIndexPageSchemeSchemePage =
    "CREATE UNIQUE INDEX UNQ_PAGE_SCHEME_SCHEMEPAGE ON PAGE_SCHEME (PAGE_ID, SCHEME_PAGE_ID, SCHEME_ID)";
const char *const CreateIndexProductGroupProductEntry =
    "CREATE UNIQUE INDEX UNQ_PRODUCT_GROUP_PRODUCT_ENTRY ON PRODUCT_PRODUCT_GROUP_MAP (PRODUCT_GROUP_ID, PRODUCT_ID)";
const char *const CreateIndexRowProductEntry =
    "CREATE UNIQUE INDEX UNQ_ROW_PRODUCT_ENTRY ON ROW_PRODUCT_MAP (COLLECTION_ID, ROW_ID, PRODUCT_ID)";
const char *const CreateIndexRowProductGroupEntry =
    "CREATE UNIQUE INDEX UNQ_ROW_PRODUCT_GROUP_ENTRY ON ROW_PRODUCT_GROUP_MAP (COLLECTION_ID, ROW_ID, PRODUCT_GROUP_ID)";
const char *const CreateIndexProspectCollectionGroupOrder =
    "CREATE UNIQUE INDEX UNQ_COLLECTION_GROUP_ORDER ON PROSPECT_ENTRY (COLLECTION_ID, PROSPECT_GROUP_ID, \"ORDER\")";
const char *const CreateIndexTexturePage = "CREATE UNIQUE INDEX UNQ_TEXTURE_PAGE ON TEXTURE_MAP (TEXTURE_ID, PAGE_ID)";

const char *const CreateCapsureCollectionIdsByPriority =
    " CREATE VIEW CAPSURE_COLLECTION_IDS_BY_PRIORITY AS  SELECT      S.COLLECTION_ID,      "
    "COALESCE(CAST(S.VALUE AS INTEGER), 999) AS PRIORITY  FROM      SETTING S  WHERE      "
    "S.NAME = 'capsure.priority' AND      S.COLLECTION_ID IN (SELECT S2.COLLECTION_ID FROM SETTING S2 "
    "WHERE S2.NAME = 'capsure.enabled' COLLATE NOCASE AND CAST(S2.VALUE AS INTEGER) = 1)  ORDER BY      "
    "PRIORITY ASC";

const char *const InsertSystemWideCollection =
    "INSERT INTO COLLECTION(ID, UUID, SYSTEMID, VERSION, NAME, \"ORDER\") "
    "VALUES(0, '{ffffffff-ffff-ffff-ffff-ffffffffffff}', 'VIRTUAL', 1, 'SystemWide Collection', 0)";

const char *const InsertMoodFresh = "INSERT INTO MOOD(ID, COLLECTION_ID, NAME) VALUES(1, 0, 'fresh')";
const char *const InsertMoodWarm = "INSERT INTO MOOD(ID, COLLECTION_ID, NAME) VALUES(2, 0, 'warm')";
const char *const InsertMoodCalm = "INSERT INTO MOOD(ID, COLLECTION_ID, NAME) VALUES(3, 0, 'calm')";
const char *const InsertMoodRich = "INSERT INTO MOOD(ID, COLLECTION_ID, NAME) VALUES(4, 0, 'rich')";
const char *const InsertMoodOffWhite = "INSERT INTO MOOD(ID, COLLECTION_ID, NAME) VALUES(5, 0, 'offwhite')";
const char *const InsertMoodNeutral = "INSERT INTO MOOD(ID, COLLECTION_ID, NAME) VALUES(6, 0, 'neutral')";

const char *const InsertSchemeHarmonic = "INSERT INTO SCHEME(ID, COLLECTION_ID, NAME) VALUES(1, 0, 'harmonic')";
const char *const InsertSchemeContrast = "INSERT INTO SCHEME(ID, COLLECTION_ID, NAME) VALUES(2, 0, 'contrast')";
const char *const InsertSchemeWideContrast =
    "INSERT INTO SCHEME(ID, COLLECTION_ID, NAME) VALUES(3, 0, 'widecontrast')";
const char *const InsertSchemeDynamic = "INSERT INTO SCHEME(ID, COLLECTION_ID, NAME) VALUES(4, 0, 'dynamic')";
const char *const InsertSchemeDramatic = "INSERT INTO SCHEME(ID, COLLECTION_ID, NAME) VALUES(5, 0, 'dramatic')";
const char *const InsertSchemeNeutral = "INSERT INTO SCHEME(ID, COLLECTION_ID, NAME) VALUES(6, 0, 'neutral')";
const char *const InsertSchemeTonalNeutral =
    "INSERT INTO SCHEME(ID, COLLECTION_ID, NAME) VALUES(7, 0, 'tonalneutral')";
const char *const InsertSchemeComplementaryNeutral =
    "INSERT INTO SCHEME(ID, COLLECTION_ID, NAME) VALUES(8, 0, 'complementaryneutral')";

QStringList referenceStatements()
{
    const char *const statements[] = {
        CreateGlobalSetting, CreateCollection, CreateMood, CreateScheme, CreateSetting, CreateLocale,
        CreateTheme, CreatePage, CreateRow, CreateRowName, CreatePageScheme, CreateProductGroup,
        CreateProduct, CreateProductProductGroupMap, CreateRowProductMap, CreateRowProductGroupMap,
        CreateProspectGroup, CreateProspectEntry, CreateTexture, CreateTextureMap,

        CreateIndexCollectionUuid, CreateIndexCollectionSystemId, CreateIndexCollectionOrder,
        CreateIndexSettingNamePerCollection, CreateIndexPageIndexInCollection, CreateIndexPageNameInCollection,
        CreateIndexRowPageId, CreateIndexRowCollectionCode, CreateIndexRowNameName, CreateIndexPageSchemeOrder,
        CreateIndexPageSchemeSchemePage, CreateIndexProductGroupProductEntry, CreateIndexRowProductEntry,
        CreateIndexRowProductGroupEntry, CreateIndexProspectCollectionGroupOrder, CreateIndexTexturePage,

        CreateCapsureCollectionIdsByPriority,

        InsertSystemWideCollection, InsertMoodFresh, InsertMoodWarm, InsertMoodCalm, InsertMoodRich,
        InsertMoodOffWhite, InsertMoodNeutral, InsertSchemeHarmonic, InsertSchemeContrast,
        InsertSchemeWideContrast, InsertSchemeDynamic, InsertSchemeDramatic, InsertSchemeNeutral,
        InsertSchemeTonalNeutral, InsertSchemeComplementaryNeutral,
    };
    QStringList list;
    for (const char *statement : statements)
        list << QString::fromLatin1(statement);
    return list;
}

} // namespace Vantor::DB::Schema
