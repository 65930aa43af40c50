#pragma once

// The user-interface state kept between picker windows and between runs. Every accessor
// opens its own settings store and closes it before returning, so each change is on
// disk at once. Reads fall back to documented defaults, so a stale or hand-edited file
// can never put a panel into an undefined state.

#include "engine/db/ItemIndex.h"

#include <QPoint>
#include <QString>
#include <QUuid>

namespace Vantor {

// The INI file that holds the state.
QString settingsFilePath();
// How many writes this process has made to the settings file; each rewrites the file.
// Lets tests hold bulk changes (loading a palette) to about one write per cell.
quint64 persistentStateWriteCount();

// While one exists (on the interface thread), reads and writes share one store and the
// settings file is written once, when the outermost batch ends: a palette of 24 chips
// changes a hundred keys, and each write on its own rewrites the file (and waits for the
// disk). The main widget opens one for each user action, so that what an action changes
// reaches the file together, before the action's handler returns.
class PersistentStateBatch
{
public:
    PersistentStateBatch();
    ~PersistentStateBatch();
    PersistentStateBatch(const PersistentStateBatch &) = delete;
    PersistentStateBatch &operator=(const PersistentStateBatch &) = delete;
};

// Global keys.
QUuid lastUsedCollection();
void setLastUsedCollection(const QUuid &uuid);
qint64 hostApplicationPid();
void setHostApplicationPid(qint64 pid);

// Per-collection keys.
int segmentIndex(const QUuid &collection);
void setSegmentIndex(const QUuid &collection, int segment);
int moodFilter(const QUuid &collection);
void setMoodFilter(const QUuid &collection, int mood);
bool exteriorColors(const QUuid &collection);
void setExteriorColors(const QUuid &collection, bool exteriorOnly);
bool showMto(const QUuid &collection);
void setShowMto(const QUuid &collection, bool show);
int pageIndex(const QUuid &collection);
void setPageIndex(const QUuid &collection, int page);
int rowIndex(const QUuid &collection);
void setRowIndex(const QUuid &collection, int row);
int tabPageIndex(const QUuid &collection);
void setTabPageIndex(const QUuid &collection, int page);
int schemeKind(const QUuid &collection);
void setSchemeKind(const QUuid &collection, int kind);
int schemeNeutralSubKind(const QUuid &collection);
void setSchemeNeutralSubKind(const QUuid &collection, int kind);
bool prospectGroupOpenState(const QUuid &collection, qint64 groupId, bool defaultOpen);
void setProspectGroupOpenState(const QUuid &collection, qint64 groupId, bool open);

// My Palette keys; cells by grid row (0 to 3) and column (0 to 5).
DB::ItemIndex myPaletteEntry(int row, int column);
void setMyPaletteEntry(int row, int column, const DB::ItemIndex &entry);
bool myPaletteCellSelected(int row, int column);
void setMyPaletteCellSelected(int row, int column, bool selected);
// The room and surface a cell's chip is for (the colour board checks the surfaces that
// meet); empty when none was given.
QString myPaletteCellRoom(int row, int column);
QString myPaletteCellSurface(int row, int column);
void setMyPaletteCellRoom(int row, int column, const QString &room, const QString &surface);
bool myPaletteGridVisible();
void setMyPaletteGridVisible(bool visible);
QPoint myPaletteZoomed();
int myPaletteSaveFileFormat();
void setMyPaletteSaveFileFormat(int format);
QString myPaletteLastSavePath();
void setMyPaletteLastSavePath(const QString &path);
QString myPaletteDescription();
void setMyPaletteDescription(const QString &description);
int myPaletteFullBackgroundColor();
void setMyPaletteFullBackgroundColor(int grey);

namespace PersistentStateInternals {
// Forgets the cached last used collection, as a new process would.
void forgetCachedLastUsedCollection();
}

} // namespace Vantor
