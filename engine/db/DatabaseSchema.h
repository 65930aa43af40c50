#pragma once

// Reference definition of the collection database format. The engine never executes
// these statements: it only reads databases. They document the contract with the
// tooling that produces collection files (the deck-building tool creates its files
// from them).

#include <QStringList>

namespace Vantor::DB::Schema {

// Table and view names.
extern const char *const GlobalSettingTable;
extern const char *const CollectionTable;
extern const char *const MoodTable;
extern const char *const SchemeTable;
extern const char *const SettingTable;
extern const char *const LocaleTable;
extern const char *const ThemeTable;
extern const char *const PageTable;
extern const char *const RowTable;
extern const char *const RowNameTable;
extern const char *const PageSchemeTable;
extern const char *const ProductGroupTable;
extern const char *const ProductTable;
extern const char *const ProductProductGroupMapTable;
extern const char *const RowProductMapTable;
extern const char *const RowProductGroupMapTable;
extern const char *const ProspectGroupTable;
extern const char *const ProspectEntryTable;
extern const char *const TextureTable;
extern const char *const TextureMapTable;
extern const char *const CapsureCollectionIdsByPriorityView;

// CREATE TABLE statements.
extern const char *const CreateGlobalSetting;
extern const char *const CreateCollection;
extern const char *const CreateMood;
extern const char *const CreateScheme;
extern const char *const CreateSetting;
extern const char *const CreateLocale;
extern const char *const CreateTheme;
extern const char *const CreatePage;
extern const char *const CreateRow;
extern const char *const CreateRowName;
extern const char *const CreatePageScheme;
extern const char *const CreateProductGroup;
extern const char *const CreateProduct;
extern const char *const CreateProductProductGroupMap;
extern const char *const CreateRowProductMap;
extern const char *const CreateRowProductGroupMap;
extern const char *const CreateProspectGroup;
extern const char *const CreateProspectEntry;
extern const char *const CreateTexture;
extern const char *const CreateTextureMap;

// CREATE INDEX statements.
extern const char *const CreateIndexCollectionUuid;
extern const char *const CreateIndexCollectionSystemId;
extern const char *const CreateIndexCollectionOrder;
extern const char *const CreateIndexSettingNamePerCollection;
extern const char *const CreateIndexPageIndexInCollection;
extern const char *const CreateIndexPageNameInCollection;
extern const char *const CreateIndexRowPageId;
extern const char *const CreateIndexRowCollectionCode;
extern const char *const CreateIndexRowNameName;
extern const char *const CreateIndexPageSchemeOrder;
extern const char *const CreateIndexPageSchemeSchemePage;
extern const char *const CreateIndexProductGroupProductEntry;
extern const char *const CreateIndexRowProductEntry;
extern const char *const CreateIndexRowProductGroupEntry;
extern const char *const CreateIndexProspectCollectionGroupOrder;
extern const char *const CreateIndexTexturePage;

// CREATE VIEW statement.
extern const char *const CreateCapsureCollectionIdsByPriority;

// Seed rows: the virtual collection, the six moods and the eight schemes.
extern const char *const InsertSystemWideCollection;
extern const char *const InsertMoodFresh;
extern const char *const InsertMoodWarm;
extern const char *const InsertMoodCalm;
extern const char *const InsertMoodRich;
extern const char *const InsertMoodOffWhite;
extern const char *const InsertMoodNeutral;
extern const char *const InsertSchemeHarmonic;
extern const char *const InsertSchemeContrast;
extern const char *const InsertSchemeWideContrast;
extern const char *const InsertSchemeDynamic;
extern const char *const InsertSchemeDramatic;
extern const char *const InsertSchemeNeutral;
extern const char *const InsertSchemeTonalNeutral;
extern const char *const InsertSchemeComplementaryNeutral;

// All of the above in an order that creates a database: tables, indexes, view, seeds.
QStringList referenceStatements();

} // namespace Vantor::DB::Schema
