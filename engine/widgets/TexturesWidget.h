#pragma once

#include "AccessibleChips.h"
#include "WindowBackground.h"

#include "engine/db/Texture.h"

#include <QHash>
#include <QImage>
#include <QPair>
#include <QRect>
#include <QScrollArea>
#include <QUuid>
#include <QVector>

namespace Vantor {

class OrvaCustomStyle;

// What the textures tab lays out and paints: the textures offered for the current card,
// in three columns, each tinted with the current colour and captioned.
class TexturesViewport : public QWidget, public AccessibleChipPanel
{
    Q_OBJECT
public:
    explicit TexturesViewport(QWidget *parent = nullptr);

    // Loads the textures of the collection and of the file's shared collection, when
    // they are first needed: decoding the pictures of every texture is no part of a
    // collection switch while the tab is hidden.
    void loadTextures(const QUuid &collection);
    // Places the current card's textures for the viewport's width.
    void layOut();
    // The main window's background and the tab that stands on it.
    void setWindowBackground(const WindowBackground &background, const QWidget *tab);

    // Each tile's picture rectangle with the texture offered there, as laid out.
    const QVector<QPair<QRect, DB::TextureMapping>> &tiles() const { return textureCells; }
    const QHash<qint64, DB::Texture> &loadedTextures() const;
    // The colour the tiles take: the current chip's, or red without one.
    static QColor tintColour();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QVector<AccessibleChip> describeChips() const override;
    QFont titleFont() const;
    QFont captionFont() const;
    int captionBand() const;

    mutable QHash<qint64, DB::Texture> textures;
    mutable QUuid texturesToLoad; // null once loaded
    QVector<QPair<QRect, DB::TextureMapping>> textureCells;
    bool layingOut = false;
    WindowBackground windowBackground;
    const QWidget *tabPanel = nullptr;
};

// The textures tab: a scroll area with a slim scroll bar around the textures viewport.
class TexturesWidget : public QScrollArea
{
    Q_OBJECT
public:
    explicit TexturesWidget(QWidget *parent = nullptr);

    TexturesViewport *texturesViewport() const { return viewportWidget; }
    // Lays the tab out for its own rectangle (when it is shown).
    void layOut();
    // The main window's background and where the tab stands on it.
    void setWindowBackground(const WindowBackground &background);

public slots:
    void selectedCollectionChanged(QUuid collectionId);
    void selectedPageChanged();
    void selectedRowChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    OrvaCustomStyle *scrollBarStyle = nullptr;
    TexturesViewport *viewportWidget = nullptr;
    WindowBackground windowBackground;
};

} // namespace Vantor
