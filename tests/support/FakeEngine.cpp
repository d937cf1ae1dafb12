#include "FakeEngine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

struct ssound {
    int serial;
};

namespace {
struct Started {
    FakeEngine::Evaluation evaluation;
    ssound_callback callback = nullptr;
    const void* user = nullptr;
};

struct State {
    std::mutex mutex;
    QList<QByteArray> configurations;
    std::set<ssound*> alive;
    std::vector<Started> evaluations;
    int serial = 0;
};

State& state() {
    static State s;
    return s;
}

// The evaluation that feed and stop go to: the engine's latest, until stopped.
Started* open(ssound* engine) {
    auto& all = state().evaluations;
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if (it->evaluation.engine == engine)
            return it->evaluation.stopped ? nullptr : &*it;
    return nullptr;
}
} // namespace

extern "C" {
ssound* ssound_new(const char* cfg) {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().configurations << QByteArray(cfg ? cfg : "");
    auto* engine = new ssound{++state().serial};
    state().alive.insert(engine);
    return engine;
}

int ssound_delete(ssound* engine) {
    std::lock_guard<std::mutex> lock(state().mutex);
    if (!state().alive.erase(engine))
        return -1;
    delete engine;
    return 0;
}

int ssound_start(ssound* engine, const char* param, char* id, ssound_callback callback,
                 const void* usrdata) {
    std::lock_guard<std::mutex> lock(state().mutex);
    if (!state().alive.count(engine))
        return -1;
    if (Started* previous = open(engine))
        previous->evaluation.stopped = true;
    Started started;
    started.evaluation.engine = engine;
    started.evaluation.parameters = param;
    started.evaluation.id = QStringLiteral("fake%1").arg(state().evaluations.size());
    started.evaluation.calls << "start";
    started.callback = callback;
    started.user = usrdata;
    qstrncpy(id, started.evaluation.id.toLatin1().constData(), 64);
    state().evaluations.push_back(started);
    return 0;
}

int ssound_feed(ssound* engine, const void* data, int size) {
    std::lock_guard<std::mutex> lock(state().mutex);
    Started* evaluation = open(engine);
    if (!evaluation)
        return -1;
    evaluation->evaluation.audio.append(static_cast<const char*>(data), size);
    evaluation->evaluation.calls << "feed";
    return 0;
}

int ssound_stop(ssound* engine) {
    std::lock_guard<std::mutex> lock(state().mutex);
    Started* evaluation = open(engine);
    if (!evaluation)
        return -1;
    evaluation->evaluation.calls << "stop";
    evaluation->evaluation.stopped = true;
    return 0;
}
} // extern "C"

void FakeEngine::reset() {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().configurations.clear();
    state().evaluations.clear();
}

QList<QByteArray> FakeEngine::configurations() {
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().configurations;
}

int FakeEngine::engineCount() {
    std::lock_guard<std::mutex> lock(state().mutex);
    return int(state().alive.size());
}

int FakeEngine::evaluationCount() {
    std::lock_guard<std::mutex> lock(state().mutex);
    return int(state().evaluations.size());
}

FakeEngine::Evaluation FakeEngine::evaluation(int index) {
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().evaluations.at(size_t(index)).evaluation;
}

void FakeEngine::answer(int index, const QByteArray& message) {
    Started started;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        started = state().evaluations.at(size_t(index));
        if (!state().alive.count(started.evaluation.engine))
            return;
    }
    const QByteArray id = started.evaluation.id.toLatin1();
    std::thread engineThread([&] {
        started.callback(started.user, id.constData(), SSOUND_MESSAGE_JSON, message.constData(),
                         message.size());
    });
    engineThread.join();
}

QByteArray FakeEngine::result(int overall, const QList<QPair<QString, int>>& words, int accuracy,
                              int integrity, int fluency) {
    QJsonArray details;
    for (const auto& word : words)
        details.append(QJsonObject{{"char", word.first}, {"score", word.second}});
    const QJsonObject result{{"overall", overall},
                             {"accuracy", accuracy},
                             {"integrity", integrity},
                             {"fluency", QJsonObject{{"overall", fluency}}},
                             {"details", details}};
    return QJsonDocument(QJsonObject{{"result", result}}).toJson(QJsonDocument::Compact);
}
