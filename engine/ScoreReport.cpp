#include "ScoreReport.h"

#include "JsonValue.h"

#include <cmath>

ScoreReport ScoreReport::failure(int code, const std::string& message,
                                 const std::vector<std::string>& words) {
    ScoreReport report;
    report.errorCode = code;
    report.errorMessage = message;
    for (auto& w : words) {
        WordScore word;
        word.written = w;
        report.words.push_back(word);
    }
    return report;
}

std::string ScoreReport::toJson(const std::string& evaluationId, const std::string& refText) const {
    JsonValue details = JsonValue::array();
    for (auto& w : words) {
        JsonValue entry = JsonValue::object();
        entry.set("char", w.written)
            .set("score", w.score)
            .set("start", w.startMs)
            .set("end", w.endMs)
            .set("error", w.error);
        if (w.error != "omission") {
            entry.set("goodness", std::round(w.goodness * 10) / 10);
            JsonValue phones = JsonValue::array();
            for (auto& p : w.phones) {
                JsonValue phone = JsonValue::object();
                phone.set("phone", p.phone)
                    .set("score", p.score)
                    .set("start", p.startMs)
                    .set("end", p.endMs);
                phones.append(std::move(phone));
            }
            entry.set("phones", std::move(phones));
        }
        if (!w.inDictionary)
            entry.set("oov", true);
        details.append(std::move(entry));
    }
    JsonValue fluencyValue = JsonValue::object();
    fluencyValue.set("overall", fluency).set("pause", pauseScore).set("speed", speedScore);
    JsonValue extraValue = JsonValue::array();
    for (auto& e : extra) {
        JsonValue entry = JsonValue::object();
        entry.set("start", e.startMs).set("end", e.endMs).set("before", e.before);
        extraValue.append(std::move(entry));
    }
    JsonValue result = JsonValue::object();
    result.set("overall", overall)
        .set("accuracy", accuracy)
        .set("integrity", integrity)
        .set("fluency", std::move(fluencyValue))
        .set("details", std::move(details))
        .set("extra", std::move(extraValue))
        .set("wavetime", audioMs);
    JsonValue message = JsonValue::object();
    message.set("tokenId", evaluationId)
        .set("recordId", evaluationId)
        .set("eof", 1)
        .set("refText", refText);
    if (errorCode != 0)
        message.set("errId", errorCode).set("error", errorMessage);
    message.set("result", std::move(result));
    return message.serialize();
}
