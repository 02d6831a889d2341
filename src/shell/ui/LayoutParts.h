#pragma once

#include <QColor>
#include <QString>

class QBoxLayout;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tavlor::layout {

// The value texts' own colours, kept wherever they stay readable.
inline const QColor kGreen{0, 128, 0};
inline const QColor kBlue{0, 0, 255};
inline const QColor kRed{255, 0, 0};
inline const QColor kDarkRed{128, 0, 0};
inline const QColor kBlack{0, 0, 0};

// The dynamic property holding a widget's designed text colour; ThemeColours reads it.
inline constexpr char kDesignedColour[] = "tavlorDesignedColour";

QGroupBox* group(QWidget* parent, const char* name, const QString& title, QLayout* inner);
QLabel* caption(const QString& text);
// A value: a sunken panel (white, or the window's grey) holding the named label. `widest`
// is the longest text it is expected to show, which sets its least width so that changing
// values never resize the window.
QWidget* value(const char* name, const QString& text, const QColor& colour, const QString& widest,
               bool white = true);
// The value label inside a panel made by value().
QLabel* valueLabel(QWidget* panel);
QPushButton* button(const char* name, const QString& text);
QCheckBox* checkBox(const char* name, const QString& text, bool ticked);
QLineEdit* edit(const char* name, const QString& text, QLabel* caption);
void setDesignedColour(QWidget* widget, const QColor& colour);
// Caption and value one under the other, the caption naming the value for screen readers.
void addCaptioned(QBoxLayout* layout, const QString& caption, QWidget* panel);

} // namespace tavlor::layout
