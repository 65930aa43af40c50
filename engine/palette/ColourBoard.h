#pragma once

// The colour board for a client: My Palette's chips with their codes, names, collection,
// #RRGGBB, CIELab and light reflectance value (LRV), what a matched chip stands for, the
// colours that could not go on the board and why; with rooms, the LRV differences of the
// surfaces that meet, checked against the guidance for people with low vision; when
// asked, the chips as people with colour-vision deficiencies see them.

#include "engine/colour/ColourDifference.h"
#include "PaletteImport.h"

#include <QByteArray>
#include <QColor>
#include <QLocale>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace Vantor {

class MyPaletteModel;

struct BoardChip
{
    QPoint cell; // in My Palette's grid
    QString code;
    QStringList names; // in the collection's display order, the empty ones left out
    QString collectionName;
    QColor rgb;
    LabColour lab; // as every export gives it
    double lrv = 0.0; // CIE Y of the CIELab, 0 to 100
    std::optional<MatchedSource> matchedFrom;
};

// A surface of a room and the chip on it, from a line of the rooms.
struct BoardSurface
{
    QString room;
    QString surface; // one of boardSurfaceNames()
    int chip = -1;   // index into the board's chips
    int line = 0;    // of the rooms text
};

// Two surfaces of one room that meet, and the difference of their chips' LRVs.
struct BoardPair
{
    int first = 0; // indices into the board's surfaces
    int second = 0;
    double difference = 0.0; // never negative
    bool underGuidance() const;
};

struct ColourBoard
{
    QString title;
    QVector<BoardChip> chips; // in My Palette's grid order
    QVector<LeftOutColour> leftOut; // the colours that are not on the board, and why
    QVector<BoardSurface> surfaces; // none when no rooms were given
    QVector<BoardPair> pairs; // by room, then in the order of the surfaces
};

// The occupied cells of the palette whose chips can be read, in grid order; the others,
// when `leftOut` is given, go there with the reason.
QVector<PlacedChip> placedChipsOf(const MyPaletteModel &palette, QVector<LeftOutColour> *leftOut = nullptr);
ColourBoard colourBoardOf(const QVector<PlacedChip> &cells, const QString &title,
                          const QVector<LeftOutColour> &leftOut = {});

// The surfaces the rooms may name, and the pairs of them that meet in a building, from
// the guidance on visual contrast for people with low vision. Surfaces are written in
// lower case; a few other words are taken for them ("wall", "frame", "nosing").
const QStringList &boardSurfaceNames();
QString canonicalBoardSurface(const QString &typed);
bool boardSurfacesMeet(const QString &first, const QString &second);
// Where the pairs come from, in words for the board and the documentation.
QString boardSurfacePairsSource();

// Reads the rooms, one line per surface, "ROOM / SURFACE: CODE" ("Living room / walls:
// OT 1042"), the code that of a chip on the board; blank lines and lines starting with
// '#' are skipped. On success the board gets its surfaces and the pairs that meet;
// otherwise `problems` says, line by line, what is wrong, and the board is unchanged:
// nothing is guessed.
bool applyBoardRooms(ColourBoard &board, const QString &rooms, QStringList &problems);

enum class BoardPaper { A4, Letter };
// Letter where the locale measures in the US system, else A4.
BoardPaper boardPaperFor(const QLocale &locale);

// The board as a PDF document in sRGB (PDF/A-1b, with an sRGB output intent): the
// chips; the light reflectance values and, with rooms, the surfaces that meet; with
// `vision`, the chips for normal vision, protanopia, deuteranopia and tritanopia. No
// text is cut: long lines wrap, and what does not fit a page goes on the next.
QByteArray colourBoardPdf(const ColourBoard &board, BoardPaper paper, bool vision);

} // namespace Vantor
