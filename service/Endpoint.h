#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

// One request of the service API as data: where each parameter's value comes
// from, how the request goes on the wire and which events carry the answer.
struct Endpoint {
    // How the parameters go on the wire.
    enum class Style {
        Template, // GET, placeholders of a literal query template filled in order
        Builder,  // GET, query items added in order
        JsonBody, // POST, compact JSON object
    };
    enum class Origin { Api, Dictionary };
    // How the answer becomes the result event.
    enum class Answer {
        Data,  // success carries `data`
        Body,  // success carries the whole body text
        Login, // success fills the session record; transport failures reported too
        Code,  // success only with a non-empty data.code; carries the whole object
    };
    // What the request event carries.
    enum class Input {
        None,       // nothing, or something never read
        VariantMap, // QVariant holding a map
        Map,        // QMap<QString,QVariant>
        StringMap,  // QMap<QString,QString>
    };
    // Where a parameter's value comes from.
    enum class Source {
        Text,        // the constant text in `arg`
        Number,      // the constant number in `arg` (a JSON number in a body)
        Value,       // the event value's entry named by `arg`, as text
        Offset,      // the event value's entry named by `arg` as a number, 0 when missing
        RecordUid,   // the session record's user id when the event arrives
        RecordToken, // the session record's token when the event arrives
        Timestamp,   // seconds since the epoch, as text
        Device,      // the machine id
    };

    struct Param {
        QString key;
        Source source;
        QVariant arg;
        // Template style: false for constants the template already spells out;
        // they are signed but fill no placeholder.
        bool placeholder = true;
    };

    int request;
    Style style;
    Origin origin;
    QString path;
    QString queryTemplate;
    QVector<Param> params;
    bool isSigned;
    QString signatureKey;
    Input input;
    Answer answer;
    int okEvent;
    int failEvent;
};
