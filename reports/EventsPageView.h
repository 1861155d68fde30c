#pragma once
// The events page's window: the frame "Events" with the report list, OK and
// Clear. It only mirrors its page model: every change of the model redraws
// the list, runs or stops the 1.5 s timer and closes the window once the
// page is unloaded. The window frame's close button and Escape close the
// page at once. Under the list, inside the frame, the page's status line.

#include "reports/EventsPage.h"

#include <QDialog>
#include <QTimer>

#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace kova {

class EventsPageView : public QDialog {
    Q_OBJECT
public:
    // `mainWindow` gives the screen and the height (it is not the parent:
    // the page disables the main window while it is open).
    EventsPageView(EventsPage& page, const QWidget* mainWindow);
    ~EventsPageView() override;

    QGroupBox* Frame1() const { return Frame1_; }
    QTreeWidget* ListView1() const { return ListView1_; }
    QLabel* Estado() const { return Estado_; }
    QPushButton* Okey() const { return Okey_; }
    QPushButton* Clear() const { return Clear_; }
    const QTimer& Timer1() const { return Timer1_; }

    // Pixels for a length in twips at the screen's logical resolution.
    int px(double twips, bool horizontal = true) const;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void sync();

    EventsPage& page_;
    QGroupBox* Frame1_ = nullptr;
    QTreeWidget* ListView1_ = nullptr;
    QLabel* Estado_ = nullptr;
    QPushButton* Okey_ = nullptr;
    QPushButton* Clear_ = nullptr;
    QTimer Timer1_;
    std::vector<std::vector<std::string>> shown_;
    int columns_ = 0;
};

} // namespace kova
