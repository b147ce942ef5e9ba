#pragma once

#include "shell/TabelApplication.h"

#include <QTest>

// GUI tests run inside the program's own application object, so that an error escaping a
// handler takes the same road as in the program.
#define TABEL_GUI_TEST_MAIN(TestClass)                                                                       \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        tabel::TabelApplication app(argc, argv);                                                             \
        app.useRussian();                                                                                    \
        TestClass test;                                                                                      \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
