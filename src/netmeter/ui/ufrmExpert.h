#pragma once

#include <QDialog>
#include <functional>

class QButtonGroup;
class QLabel;

namespace tavlor {

struct Settings;

// The adapter-method dialog: which interface rows feed download (rDown) and upload (rUp).
// Only btnClose stores the choice; the close box changes nothing, and a group without a
// selected item keeps its method.
class TfrmExpert final : public QDialog
{
    Q_OBJECT
public:
    // mainCaption: the main window's caption at the moment the dialog is shown.
    // applied: runs after btnClose has stored new methods.
    TfrmExpert(Settings& settings, std::function<QString()> mainCaption, std::function<void()> applied,
               QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TfrmExpert)

    // The radio item a stored method selects: above 1 the second item, below 0 none (-1).
    static int itemFor(int method);
    // Names the link counted now in the line under the groups ("" while none is).
    void setCountedLink(std::function<QString()> counted) { m_counted = std::move(counted); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void addCountedLine();
    void FormShow();
    void btnCloseClick();

    Settings& m_settings;
    std::function<QString()> m_mainCaption;
    std::function<void()> m_applied;
    QButtonGroup* m_down = nullptr;
    QButtonGroup* m_up = nullptr;
    std::function<QString()> m_counted;
    QLabel* m_countedLine = nullptr;
};

} // namespace tavlor
