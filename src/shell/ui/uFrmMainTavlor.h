#pragma once

#include <QMainWindow>

class QLabel;
class QTimer;

namespace tavlor {

// What the main window asks of its owner when the window system acts on it.
class FormEvents
{
public:
    virtual ~FormEvents() = default;
    // True when the window may close.
    virtual bool FormCloseQuery() = 0;
    // The close was allowed; false keeps the program running (the save failed).
    virtual bool FormClose() = 0;
    // Once per run: the first time the window becomes the focused window.
    virtual void FormActivate() = 0;
    virtual void FormMinimised() = 0;
};

// The main window frmTavlor: every control carries its component name as objectName.
class TfrmTavlor final : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int kDesignWidth = 831;
    static constexpr int kDesignHeight = 600;
    static constexpr int kCollapsedWidth = 450;
    static constexpr int kExpandedWidth = 830;

    explicit TfrmTavlor(QWidget* parent = nullptr);
    ~TfrmTavlor() override;
    Q_DISABLE_COPY_MOVE(TfrmTavlor)

    void setFormEvents(FormEvents* events) { m_events = events; }
    // Panel 0 (325 px, the uptime) and panel 1 (50 px, always empty) of sBar.
    QLabel* statusPanel(int index) const;

    // The two widths of the window in the font it has: the design's 450 and 830 at the
    // design font, more when the captions need it.
    int collapsedWidth() const;
    int expandedWidth() const;
    // The connection manager names the two states by the design widths; anything up to 450
    // collapses, anything wider expands.
    Q_INVOKABLE void setDesignWidth(int width);
    // Moves the window so that its frame (title bar included) stands at the point, kept on a
    // screen. Under a window manager the frame is known only once the window is mapped, so
    // the move is checked again until it holds.
    void placeFrameAt(const QPoint& topLeft);
    // False where clients neither learn nor choose where their windows stand (Wayland).
    static bool positionKnown();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildLayout();
    QWidget* buildLeftColumn(QWidget* client);
    QWidget* buildRightColumn(QWidget* client);
    void buildStatusBar();
    void fitToFont();
    void setTabChain();
    void correctFramePosition();
    void setClientExpanded(bool expanded);

    FormEvents* m_events = nullptr;
    QLabel* m_panels[2] = {nullptr, nullptr};
    QWidget* m_client = nullptr;
    bool m_expanded = false;
    QPoint m_frameTarget;
    int m_frameChecks = 0;
    QTimer* m_frameTimer = nullptr;
    bool m_activatedOnce = false;
};

} // namespace tavlor
