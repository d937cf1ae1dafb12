#pragma once

#include <QApplication>
#include <QtTest>

// The web engine shares GL contexts with the widgets; Qt wants that said
// before the application object exists.
#define LOGIN_TEST_MAIN(TestClass)                                                                 \
    int main(int argc, char* argv[]) {                                                             \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, true);                          \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
