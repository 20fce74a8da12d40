#include "app/Program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mimoran"));
    app::InitialisePlatform(app);
    app::StartUp();
    return QApplication::exec();
}
