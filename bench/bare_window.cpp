// The yardstick for start-up time: a bare Qt window titled like the hub, shown at once.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Keldara"));
    window.resize(570, 425);
    window.show();
    return QApplication::exec();
}
