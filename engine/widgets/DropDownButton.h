#pragma once

#include <QImage>
#include <QPushButton>

namespace Vantor {

// The arrow button of the collection selector: the selector's background under it and
// an arrow pointing down while the list is closed, up while it is open.
class DropDownButton : public QPushButton
{
    Q_OBJECT
public:
    explicit DropDownButton(QWidget *parent = nullptr);

    void setBackgroundCopy(const QImage &image) { backgroundCopy = image; }
    // Returns whether the flag changed.
    bool setClosed(bool closed);
    bool isClosed() const { return closed; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage backgroundCopy;
    QImage arrowDown;
    QImage arrowUp;
    bool closed = true;
};

} // namespace Vantor
