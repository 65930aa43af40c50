#include "DialogTheme.h"

#include "engine/db/ThemeResources.h"

#include <QPalette>
#include <QWidget>

namespace Vantor {

namespace {

// The slate of the picker's panels, its light text, and the light grey of its buttons.
constexpr QRgb Slate = 0x2b2d31;
constexpr QRgb SlateDeep = 0x202226;
constexpr QRgb SlateRaised = 0x3a3d43;
constexpr QRgb LightText = 0xf0f0f0;
constexpr QRgb MutedText = 0xb4b7bc;   // placeholders: 7.5:1 on the slate
constexpr QRgb DisabledText = 0x85888e;
constexpr QRgb ButtonFace = 0xdcdcdc;
constexpr QRgb ButtonText = 0x303030;  // 10:1 on the button face
constexpr QRgb Accent = 0x5b9bd5;      // selection and focus
constexpr QRgb LinkBlue = 0x8cc4ff;

QPalette pickerPalette()
{
    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, QColor(Slate));
        palette.setColor(group, QPalette::WindowText, QColor(LightText));
        palette.setColor(group, QPalette::Base, QColor(SlateDeep));
        palette.setColor(group, QPalette::AlternateBase, QColor(SlateRaised));
        palette.setColor(group, QPalette::Text, QColor(LightText));
        palette.setColor(group, QPalette::PlaceholderText, QColor(MutedText));
        palette.setColor(group, QPalette::Button, QColor(ButtonFace));
        palette.setColor(group, QPalette::ButtonText, QColor(ButtonText));
        palette.setColor(group, QPalette::BrightText, QColor(Qt::white));
        palette.setColor(group, QPalette::Highlight, QColor(Accent).darker(135));
        palette.setColor(group, QPalette::HighlightedText, QColor(Qt::white));
        palette.setColor(group, QPalette::ToolTipBase, QColor(SlateRaised));
        palette.setColor(group, QPalette::ToolTipText, QColor(LightText));
        palette.setColor(group, QPalette::Link, QColor(LinkBlue));
        palette.setColor(group, QPalette::LinkVisited, QColor(LinkBlue).darker(115));
        palette.setColor(group, QPalette::Light, QColor(SlateRaised).lighter(140));
        palette.setColor(group, QPalette::Midlight, QColor(SlateRaised));
        palette.setColor(group, QPalette::Mid, QColor(Slate).darker(120));
        palette.setColor(group, QPalette::Dark, QColor(SlateDeep).darker(130));
        palette.setColor(group, QPalette::Shadow, QColor(Qt::black));
    }
    palette.setColor(QPalette::Disabled, QPalette::Window, QColor(Slate));
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor(SlateDeep));
    palette.setColor(QPalette::Disabled, QPalette::Button, QColor(SlateRaised));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::PlaceholderText})
        palette.setColor(QPalette::Disabled, role, QColor(DisabledText));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(SlateRaised));
    palette.setColor(QPalette::Disabled, QPalette::HighlightedText, QColor(LightText));
    return palette;
}

// The buttons as the picker draws its own (light, rounded, dark text), fields and lists
// on the deeper slate, and a focus frame in the accent that shows on every control. The
// button rules are for Qt's plain buttons only (".QPushButton"): the picker's own buttons
// inside a dialog keep their look and size.
const char *const StyleSheet =
    ".QPushButton { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ececec, stop:1 #cfcfcf);"
    " color: #303030; border: 1px solid #8a8d92; border-radius: 4px; padding: 4px 16px; }"
    ".QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f6f6f6, stop:1 #dcdcdc); }"
    ".QPushButton:pressed { background: #bdbdbd; }"
    ".QPushButton:default { border: 1px solid #f0f0f0; }"
    ".QPushButton:focus { border: 2px solid #5b9bd5; }"
    ".QPushButton:disabled { background: #3a3d43; color: #85888e; border-color: #4a4d53; }"
    "QToolButton { background: transparent; color: #f0f0f0; border: 1px solid transparent; border-radius: 3px; }"
    "QToolButton:hover { border-color: #6a6d73; }"
    "QToolButton:focus { border: 2px solid #5b9bd5; }"
    "QLineEdit, QComboBox, QTextEdit, QPlainTextEdit, QListView, QTreeView, QTableView {"
    " background: #202226; color: #f0f0f0; border: 1px solid #55585e; border-radius: 3px;"
    " selection-background-color: #3f6d96; selection-color: #ffffff; }"
    "QLineEdit:focus, QComboBox:focus, QTextEdit:focus, QListView:focus, QTreeView:focus, QTableView:focus {"
    " border: 2px solid #5b9bd5; }"
    "QComboBox QAbstractItemView { background: #202226; color: #f0f0f0; }"
    "QHeaderView::section { background: #3a3d43; color: #f0f0f0; border: none; border-right: 1px solid #2b2d31;"
    " padding: 3px 6px; }"
    "QLabel { color: #f0f0f0; background: transparent; }"
    "QToolTip { background: #3a3d43; color: #f0f0f0; border: 1px solid #6a6d73; }";

} // namespace

void applyDialogTheme(QWidget *window)
{
    if (!window)
        return;
    window->setPalette(pickerPalette());
    window->setAutoFillBackground(true);
    QFont font = DB::normalFont(2);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::PreferQuality));
    window->setFont(font);
    // Added to what the window styles for itself, which stays in force where it is more
    // particular.
    window->setStyleSheet(QLatin1String(StyleSheet) + window->styleSheet());
}

} // namespace Vantor
