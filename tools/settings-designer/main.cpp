// settings-designer [FORM.json]: edits the settings of the controls placed
// on a page form file and writes the file back.
#include "DesignerWindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Settings Designer"));
    kova::DesignerWindow w;
    const QStringList args = QApplication::arguments();
    if (args.size() > 1 && !w.openForm(args.at(1)))
        return 1;
    w.placeOnScreen();
    w.show();
    return app.exec();
}
