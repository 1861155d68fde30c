#pragma once
// A value page on screen: its frames as group boxes of caption, value, unit
// and stamp labels placed at their twips positions, OK and Clear buttons,
// and the page's timer. Everything it shows comes from its ValuePage model;
// the tick is the model's, so tests call it instead of waiting.

#include "pages/ValuePage.h"

#include <QDialog>

#include <map>

class QLabel;
class QPushButton;
class QTimer;

namespace kova {

class ValuePageView : public QDialog, private ValuePage::Listener {
    Q_OBJECT
public:
    // Application-modal; not a child of the main window, whose disabling
    // would disable the page too.
    explicit ValuePageView(ValuePage& page, QWidget* parent = nullptr);
    ~ValuePageView() override;

    // Runs the model's load, then sizes the page as wide as the screen and
    // `mainWindow`'s height less 1500 twips (at least its contents), at
    // the main window's top.
    void load(const QWidget* mainWindow);

    ValuePage& page() { return page_; }
    QLabel* label(const QString& name) const;
    QWidget* control(const QString& name) const; // frame or button
    QTimer* timer() const { return Timer1_; }
    // Twips to pixels at the page's logical DPI (1500 tw = 100 px at 96 dpi).
    int px(int twips) const;
    // Escape: closes the page as the window frame does.
    void reject() override;
    QSize sizeHint() const override;
    // What the shown frames and buttons cover: also the page's minimum size.
    QSize minimumSizeHint() const override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void timerChanged() override;
    void redrawn() override;
    void closing() override;
    void build();
    QSize covered(bool shownOnly) const;

    ValuePage& page_;
    QTimer* Timer1_ = nullptr;
    std::map<QString, QLabel*> labels_;
    std::map<QString, QWidget*> controls_;
    bool closing_ = false;
};

} // namespace kova
