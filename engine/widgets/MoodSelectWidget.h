#pragma once

#include "AccessibleChips.h"
#include "MoodSelectLayout.h"
#include "engine/db/SharedTypes.h"

#include <QImage>
#include <QRect>
#include <QUuid>
#include <QWidget>

#include <array>

namespace Vantor {

// The filter panel of the fan deck: six mood buttons, the all-moods line and the
// exterior line (normal cards), or the line that hides made-to-order colours (pulvex
// cards). It paints the stored filters and reports clicks; the main widget stores them.
class MoodSelectWidget : public QWidget, public AccessibleChipPanel
{
    Q_OBJECT
public:
    explicit MoodSelectWidget(QWidget *parent = nullptr);

    QSize sizeHint() const override { return lastGeometry.size(); }
    QSize minimumSizeHint() const override { return lastGeometry.size(); }

    const MoodSelectLayout &currentLayout() const { return layout; }
    // Lays out for the current collection if the geometry changed.
    void layOut();
    // The stored mood, where the arrows move from.
    int keyboardChip() const override;
    QAccessible::Role accessiblePanelRole() const override { return QAccessible::Grouping; }

signals:
    void moodFilterChangedInteractively(Vantor::Mood newMood);
    void exteriorFilterChangedInteractively(bool exterior);
    void showMtoChangedInteractively(bool showMto);

public slots:
    void selectedCollectionChanged(QUuid collectionId);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QVector<AccessibleChip> describeChips() const override;
    void loadImages(const QUuid &collection);
    bool isPulvex() const;
    // Reports the mood and exterior filter chosen, each where it differs from the
    // stored one; an exterior filter without the mood's cards shows all moods.
    void choose(int mood, bool exterior);
    bool isNormal() const;
    bool moodAvailable(int mood) const;
    bool overClickable(const QPoint &point) const;
    void paintCheckLine(QPainter &painter, const QRect &rect, const QString &text, bool ticked) const;

    std::array<QImage, 6> normalImages;   // mood order: fresh, warm, calm, rich, off-white, neutral
    std::array<QImage, 6> selectedImages;
    QImage tickImage;
    QImage disabledImage;
    QRect lastGeometry;
    MoodSelectLayout layout;
};

} // namespace Vantor
