#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>
#include <QVariantList>
#include <QVariantMap>

// Every take of every sentence of one clip, kept in the working directory
// under takes/<clip>/: each recording as <index>-<number>.wav and takes.json
// with each take's score record and word list and the take chosen for the
// dub. The chosen take is the best scored one until the learner picks
// another; a new take returns the choice to the best. takes.json is replaced
// in one step on every change, so a crash leaves the old or the new state.
class TakeStore : public QObject {
    Q_OBJECT
public:
    struct Take {
        int number = 0;
        bool scored = false;
        QVariantMap scores; // "overall", "integrity", "accuracy", "fluency"
        QVariantList words; // "char", "score"
        QDateTime time;
    };

    explicit TakeStore(const QString& clip, QObject* parent = nullptr);

    // The clip's folder; a clip name that is not a plain name is hashed.
    static QString folderFor(const QString& clip);
    QString folder() const { return m_folder; }

    QList<Take> takes(int sentence) const;
    Take take(int sentence, int number) const;
    // The take that goes into the dub; 0 when the sentence has none.
    int chosen(int sentence) const;
    bool isPinned(int sentence) const;
    QString audioPath(int sentence, int number) const;

    // Keeps a copy of `wav` as the sentence's next take; its number, or 0
    // when it could not be kept.
    int add(int sentence, const QString& wav);
    void setScore(int sentence, int number, const QVariantMap& scores, const QVariantList& words);
    // The learner's choice; it holds until the sentence is recorded again.
    bool choose(int sentence, int number);
    // Forgets every take of the clip and deletes their files.
    bool clear();

    // Writes `from` over `to` so that `to` is always whole: the old file or
    // the new one.
    static bool copyOver(const QString& from, const QString& to);

signals:
    void changed(int sentence);

private:
    struct Sentence {
        QList<Take> takes;
        int chosen = 0;
        bool pinned = false;
    };

    void load();
    bool parse(const QByteArray& json);
    void recoverFromFiles();
    bool save();
    static int best(const Sentence& sentence);
    QString indexPath() const;

    QString m_folder;
    QMap<int, Sentence> m_sentences;
};
