#include "shell/ui/ThemeColours.h"

#include "shell/Readability.h"
#include "shell/ui/LayoutParts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPlainTextEdit>
#include <QWidget>

namespace tavlor {

namespace {
Rgb toRgb(const QColor& colour)
{
    return colour.rgb() & 0xFFFFFF;
}

QColor fromRgb(Rgb rgb)
{
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool onWhitePanel(const QWidget* widget)
{
    const QWidget* panel = widget->parentWidget();
    return panel != nullptr && panel->autoFillBackground() &&
           panel->palette().color(QPalette::Window) == QColor(Qt::white);
}

// The palette the desktop gives this place, before our own colours.
QPalette desktopPalette(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    return parent != nullptr ? parent->palette() : QApplication::palette(widget);
}

void recolour(QWidget* widget, const QColor& designed)
{
    if (onWhitePanel(widget)) {
        return; // the design's colour on the design's background, set when built
    }
    const QPalette desktop = desktopPalette(widget);
    const bool buttonFace =
        qobject_cast<QAbstractButton*>(widget) != nullptr || qobject_cast<QPlainTextEdit*>(widget) != nullptr;
    const QColor background = desktop.color(buttonFace ? QPalette::Button : QPalette::Window);
    const QColor readable = fromRgb(ReadableOn(toRgb(designed), toRgb(background)));
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
            palette.setColor(group, role, readable);
        }
    }
    if (qobject_cast<QPlainTextEdit*>(widget) != nullptr) {
        palette.setColor(QPalette::Base, background); // the notice sits on the button face
    }
    widget->setPalette(palette);
}
} // namespace

void ApplyReadableColours(QWidget* root)
{
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        const QVariant designed = widget->property(layout::kDesignedColour);
        if (designed.isValid()) {
            recolour(widget, designed.value<QColor>());
        }
    }
}

} // namespace tavlor
