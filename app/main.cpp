#include "app/AppContext.h"
#include "app/Arranque.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KOVA"));
    QApplication::setApplicationVersion(kova::programVersionText());

    kova::Arranque arranque;
    kova::AppContext context(arranque.state());
    arranque.setServices(context.services());
    arranque.setConnectAtStart([&context] { context.connectAtStart(); });
    arranque.Main(QCoreApplication::arguments().mid(1));
    if (arranque.ended()) return 0;
    return QApplication::exec();
}
