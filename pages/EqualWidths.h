#pragma once
// Gives a group of widgets one width, the widest size hint among them, as
// their minimum width; again whenever one of them asks for another size
// (a selector that got its items, an editor that got another font), so a
// column of controls stays as wide as its widest text and no wider.
//
// Use:
//   auto* widths = new EqualWidths(window);
//   widths->add(editor); widths->add(selector);   // once they are laid out
//   widths->watch();
// Lay the members out with a horizontal alignment (Qt::AlignLeft) so that a
// wider cell does not stretch them.

#include <QObject>
#include <QPointer>

#include <vector>

class QWidget;

namespace kova {

class EqualWidths : public QObject {
    Q_OBJECT
public:
    explicit EqualWidths(QObject* parent = nullptr) : QObject(parent) {}

    void add(QWidget* w) { members_.emplace_back(w); }
    // Applies the width now and again on each layout request of a member's
    // parent (where a member's changed size hint is announced).
    void watch();
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    std::vector<QPointer<QWidget>> members_;
};

} // namespace kova
