#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include "ssound.h"

// A stand-in for the speech-evaluation engine, linked into a unit test in
// place of the engine library: it records what the client calls and answers
// an evaluation only when the test says so, from a thread of its own.
class FakeEngine {
public:
    struct Evaluation {
        ssound* engine = nullptr;
        QByteArray parameters;
        QString id;
        QByteArray audio;        // everything fed
        QList<QByteArray> calls; // "start", "feed", "stop" in order
        bool stopped = false;
    };

    static void reset();
    static QList<QByteArray> configurations();
    static int engineCount(); // engines alive
    static int evaluationCount();
    static Evaluation evaluation(int index);

    // Delivers `message` (type 1) to evaluation `index` from another thread and
    // returns once the callback has returned. Evaluations of deleted engines
    // are never answered.
    static void answer(int index, const QByteArray& message);

    // A result message as the engine writes it.
    static QByteArray result(int overall, const QList<QPair<QString, int>>& words = {},
                             int accuracy = 0, int integrity = 0, int fluency = 0);
};
