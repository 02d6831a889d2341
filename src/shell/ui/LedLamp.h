#pragma once

#include <QColor>
#include <QWidget>

namespace tavlor {

// The 17 x 17 round lamp of the group "Verbindung": lit red or green, with its hint as tooltip.
class LedLamp final : public QWidget
{
    Q_OBJECT
public:
    explicit LedLamp(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(LedLamp)

    void setColor(const QColor& color);
    QColor color() const { return m_color; }
    QSize sizeHint() const override { return {17, 17}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color{255, 0, 0};
};

} // namespace tavlor
