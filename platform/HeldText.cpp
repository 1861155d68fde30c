#include "platform/HeldText.h"

#include <QLineEdit>
#include <QValidator>

#include <memory>

namespace kova {

void keepHeldText(QLineEdit& box, std::function<QString()> held)
{
    // The text put back changes the box again: then it is the held one.
    if (held) {
        QObject::connect(&box, &QLineEdit::textChanged, &box, [&box, held = std::move(held)] {
            const QString shown = held();
            if (box.text() != shown)
                box.setText(shown);
        });
        return;
    }
    auto taken = std::make_shared<QString>(box.text());
    QObject::connect(&box, &QLineEdit::textChanged, &box, [&box, taken] {
        QString text = box.text();
        int pos = 0;
        if (box.validator() && box.validator()->validate(text, pos) == QValidator::Invalid)
            box.setText(*taken);
        else
            *taken = box.text();
    });
}

} // namespace kova
