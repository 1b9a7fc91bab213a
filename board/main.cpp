// slatewise: the classroom board.
//
//     slatewise [FONT FACE]
//
// Everything after the program's path is one font face name for the clean copy and the recognition box,
// taken whole. The board runs in its own folder, registers its control modules for the user when they are
// not registered yet, and exits with the event loop's status when its window is closed.
#include <QApplication>
#include <QStringList>

#include "board/forms/slatewise_form.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("slatewise"));
    QApplication::setDesktopFileName(QStringLiteral("slatewise"));

    sw::board::BoardOptions options;
    options.programFolder = QCoreApplication::applicationDirPath();
    options.commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));

    sw::board::SlatewiseForm board(std::move(options));
    board.show();
    return QApplication::exec();
}
