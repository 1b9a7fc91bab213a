// The one application object of a widget test process, made on first use and kept until exit.
#pragma once

#include <QApplication>

namespace sw::test {

inline QApplication& ensureApplication() {
    static int argc = 1;
    static char name[] = "platform-test";
    static char* argv[] = {name, nullptr};
    static auto* application = qApp ? qobject_cast<QApplication*>(qApp) : new QApplication(argc, argv);
    return *application;
}

}  // namespace sw::test
