#pragma once

#include <QMainWindow>

class QLabel;

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

    explicit TfrmTavlor(QWidget* parent = nullptr);
    ~TfrmTavlor() override;
    Q_DISABLE_COPY_MOVE(TfrmTavlor)

    void setFormEvents(FormEvents* events) { m_events = events; }
    // Panel 0 (325 px, the uptime) and panel 1 (50 px, always empty) of sBar.
    QLabel* statusPanel(int index) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildLayout();
    void buildLeftColumn(QWidget* client);
    void buildRightColumn(QWidget* client);
    void buildStatusBar();

    FormEvents* m_events = nullptr;
    QLabel* m_panels[2] = {nullptr, nullptr};
    bool m_activatedOnce = false;
};

} // namespace tavlor
