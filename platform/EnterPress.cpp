#include "platform/EnterPress.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace kova {

namespace {

// Watches its parent button: Enter pressed on it clicks it. A held key
// repeats nothing, as Space does not.
class EnterPresses : public QObject {
public:
    explicit EnterPresses(QAbstractButton& button) : QObject(&button), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &button_ || event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        if (key->modifiers() & ~Qt::KeypadModifier) return false;
        if (!key->isAutoRepeat()) button_.click();
        return true;
    }

private:
    QAbstractButton& button_;
};

} // namespace

void pressOnEnter(QAbstractButton& button)
{
    // No default button: a dialog would press it for an Enter typed anywhere.
    if (auto* push = qobject_cast<QPushButton*>(&button)) {
        push->setAutoDefault(false);
        push->setDefault(false);
    }
    button.installEventFilter(new EnterPresses(button));
}

} // namespace kova
