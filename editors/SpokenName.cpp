#include "editors/SpokenName.h"

#include "editors/BitsWidget.h"
#include "editors/ValueEditorWidget.h"

#include <QLabel>

namespace kova {

void nameByCaption(QLabel& caption, QWidget& control)
{
    const QString name = caption.text();
    control.setAccessibleName(name);
    QWidget* part = &control;
    if (auto* editor = qobject_cast<ValueEditorWidget*>(&control))
        part = editor->nameParts(name);
    else if (auto* selector = qobject_cast<BitsWidget*>(&control))
        part = selector->nameParts(name);
    pairCaption(caption, *part);
}

void pairCaption(QLabel& caption, QWidget& part)
{
    const QString written = caption.text();
    caption.setAccessibleName(written);
    caption.setText(QString(written).replace(QLatin1Char('&'), QLatin1String("&&")));
    caption.setBuddy(&part);
}

} // namespace kova
