// Stand-in companion tool: not the real tool. It shows (or, for the tests, records) the command
// line it was started with, so a user can see what the hub would hand to each tool.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv)
{
    // Record before Qt sees the arguments: it would take some for itself.
    const QString tool = QFileInfo(QFile::decodeName(argv[0])).fileName();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));

    const QByteArray record = qgetenv("KELDARA_STANDIN_RECORD");
    if (!record.isEmpty()) {
        QFile out(QFile::decodeName(record));
        if (!out.open(QIODevice::Append))
            return 2;
        // One line per start: the tool's name, then each argument, separated by tabs.
        out.write((QStringList{tool} + args).join(QLatin1Char('\t')).toUtf8() + '\n');
        return out.flush() ? 0 : 2;
    }

    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("%1 (stand-in companion tool)").arg(tool));
    auto* layout = new QVBoxLayout(&window);
    auto* label =
        new QLabel(QStringLiteral("<b>%1</b> is a stand-in for a companion tool of the suite.<br>"
                                  "It was started with the argument text:<br><br><tt>%2</tt>")
                       .arg(tool.toHtmlEscaped(), args.join(QLatin1Char(' ')).toHtmlEscaped()));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    window.resize(420, 140);
    window.show();
    return app.exec();
}
