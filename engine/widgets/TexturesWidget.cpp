#include "TexturesWidget.h"

#include "Captions.h"
#include "OrvaCustomStyle.h"
#include "WindowBackground.h"
#include "TexturesLayout.h"
#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/TabContentQueries.h"
#include "engine/db/ThemeResources.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace Vantor {

namespace {
const QSize DefaultTileSize(148, 96);
const int Margin = 16;
} // namespace

TexturesViewport::TexturesViewport(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TexturesViewport"));
    setMouseTracking(true);
}

QFont TexturesViewport::titleFont() const
{
    return DB::boldFont(4);
}

QFont TexturesViewport::captionFont() const
{
    return DB::italicFont(2);
}

int TexturesViewport::captionBand() const
{
    return QFontMetrics(captionFont()).height() + 16;
}

void TexturesViewport::loadTextures(const QUuid &collection)
{
    textures.clear();
    texturesToLoad = collection;
}

const QHash<qint64, DB::Texture> &TexturesViewport::loadedTextures() const
{
    if (!texturesToLoad.isNull()) {
        QMap<qint64, DB::Texture> loaded;
        DB::loadTextures(texturesToLoad, loaded);
        texturesToLoad = QUuid();
        for (auto it = loaded.cbegin(); it != loaded.cend(); ++it)
            textures.insert(it.key(), it.value());
    }
    return textures;
}

void TexturesViewport::layOut()
{
    if (layingOut)
        return;
    layingOut = true;
    textureCells.clear();
    const QUuid collection = lastUsedCollection();
    QSize tile = CollectionSettings::textureSize(collection, DefaultTileSize);
    // A size that cannot hold a picture is as good as none.
    if (tile.width() <= 0 || tile.height() <= 0)
        tile = DefaultTileSize;
    DB::ColorPage card;
    QVector<DB::TextureMapping> mappings;
    if (DB::loadPageByIndex(collection, pageIndex(collection), card) == DB::StatusOk)
        DB::loadTextureMappings(collection, card.id, mappings);

    const int firstTop = QFontMetrics(titleFont()).height() + 8;
    const QVector<QRect> rects = layoutTextureTiles(width(), tile, firstTop, tile.height() + captionBand(), int(mappings.size()));
    for (int i = 0; i < rects.size(); ++i)
        textureCells.append({rects.at(i), mappings.at(i)});
    const int bottom = rects.isEmpty() ? firstTop : rects.last().bottom() + 1;
    resize(width(), bottom + captionBand());
    layingOut = false;
}

void TexturesViewport::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (event->oldSize().width() != width())
        layOut();
}

QColor TexturesViewport::tintColour()
{
    const QUuid collection = lastUsedCollection();
    const int row = rowIndex(collection);
    DB::ColorPage card;
    if (DB::loadPageByIndex(collection, pageIndex(collection), card) == DB::StatusOk && row >= 1 && row <= card.rows.size())
        return card.rows.at(row - 1).color();
    return QColor(255, 0, 0);
}

void TexturesViewport::paintEvent(QPaintEvent *event)
{
    const PersistentStateBatch stateReads;
    const PaintScope toldAfterwards(this, this);
    const QColor tint = tintColour();
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBrush(Qt::NoBrush);
    // The part of the window's background under what is shown now, wherever the list is
    // scrolled: the list is taller than the window, so a piece cut at layout time would
    // run out below the picture and lag behind every scroll.
    const QRect exposed = event->rect();
    const QImage background = windowBackground.under(tabPanel, this, exposed.topLeft(), exposed.size());
    if (!background.isNull())
        painter.drawImage(exposed.topLeft(), background);
    painter.setFont(titleFont());
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, width(), QFontMetrics(titleFont()).height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     DB::localizedString(lastUsedCollection(), DB::LocaleKey::TexturesSelectMessage));

    painter.setFont(captionFont());
    const QFontMetrics captionMetrics(captionFont());
    const QHash<qint64, DB::Texture> &available = loadedTextures();
    for (const auto &[rect, mapping] : std::as_const(textureCells)) {
        const auto texture = available.constFind(mapping.textureId);
        // A texture that is not there leaves its place empty; one whose picture does not
        // decode keeps its outlines and caption, so the grid has no hole.
        if (texture == available.constEnd())
            continue;
        if (!texture->image.isNull())
            painter.drawImage(rect, tintTexture(texture->image, tint, mapping.alpha));
        painter.setPen(QColor(96, 96, 96, 32));
        painter.drawRect(rect.adjusted(-1, -1, 0, 0));
        painter.setPen(QColor(96, 96, 96));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        painter.setPen(QColor(255, 255, 255, 32));
        painter.drawRect(rect.adjusted(1, 1, -2, -2));
        painter.setPen(Qt::white);
        // A caption wider than its tile ends in "…" rather than run into the next one.
        painter.drawText(QRect(rect.left(), rect.bottom() + 5, rect.width(), rect.height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         elideCaption(mapping.name, captionMetrics, rect.width()));
    }
}

QVector<AccessibleChip> TexturesViewport::describeChips() const
{
    QVector<AccessibleChip> tiles;
    const QString tint = tintColour().name(QColor::HexRgb).toUpper();
    for (const auto &[rect, mapping] : textureCells) {
        AccessibleChip tile;
        tile.name = mapping.name;
        tile.description = tr("Texture in %1").arg(tint);
        tile.rect = rect;
        tile.role = QAccessible::Graphic;
        tiles.append(tile);
    }
    return tiles;
}

void TexturesViewport::mouseMoveEvent(QMouseEvent *)
{
    setCursor(Qt::ArrowCursor);
}

void TexturesViewport::mousePressEvent(QMouseEvent *)
{
    setCursor(Qt::ArrowCursor);
}

TexturesWidget::TexturesWidget(QWidget *parent)
    : QScrollArea(parent)
{
    setObjectName(QStringLiteral("TexturesWidget"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setViewportMargins(Margin, Margin, Margin, Margin);
    setFrameShape(QFrame::NoFrame);
    viewportWidget = new TexturesViewport;
    viewportWidget->setAccessibleName(tr("Textures"));
    viewportWidget->setAutoFillBackground(false);
    setWidget(viewportWidget);
    setAutoFillBackground(true);
    scrollBarStyle = new OrvaCustomStyle(this);
    verticalScrollBar()->setStyle(scrollBarStyle);
    viewportWidget->loadTextures(lastUsedCollection());
}

void TexturesWidget::layOut()
{
    viewportWidget->setMinimumSize(maximumViewportSize());
    QPalette background = palette();
    background.setBrush(QPalette::Window, windowBackground.under(this, this));
    setPalette(background);
    viewportWidget->layOut();
    viewportWidget->update();
}

void TexturesWidget::setWindowBackground(const WindowBackground &background)
{
    windowBackground = background;
    viewportWidget->setWindowBackground(background, this);
    layOut();
}

void TexturesViewport::setWindowBackground(const WindowBackground &background, const QWidget *tab)
{
    windowBackground = background;
    tabPanel = tab;
    update();
}

void TexturesWidget::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    layOut();
}

void TexturesWidget::selectedCollectionChanged(QUuid collectionId)
{
    viewportWidget->loadTextures(collectionId);
    viewportWidget->layOut();
    viewportWidget->update();
}

void TexturesWidget::selectedPageChanged()
{
    viewportWidget->layOut();
    viewportWidget->update();
}

void TexturesWidget::selectedRowChanged()
{
    viewportWidget->update();
}

} // namespace Vantor
