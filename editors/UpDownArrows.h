#pragma once
// The pair of arrows beside an editor's number. It holds no value and never
// disables itself at a limit: the editor decides what a click does.

#include <QWidget>

class QToolButton;

namespace kova {

class UpDownArrows : public QWidget {
    Q_OBJECT
public:
    explicit UpDownArrows(QWidget* parent = nullptr);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    void up();
    void down();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace kova
