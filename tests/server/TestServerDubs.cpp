#include "ApiClient.h"
#include "ServerProcess.h"
#include "TestAudio.h"

#include <QDir>
#include <QJsonArray>
#include <QTcpSocket>
#include <QtTest>

// Clip media, the storage endpoint of the upload program, publication, ranking and dub details.
class TestServerDubs : public QObject {
    Q_OBJECT

private:
    ServerProcess server_;
    std::unique_ptr<ApiClient> api_;
    QJsonObject user_;

    ApiClient::Reply upload(const QString& key, const QByteArray& data, const QString& token) {
        return api_->send("PUT", "/storage/" + key, data, {{"X-Upload-Token", token.toLatin1()}});
    }
    ApiClient::Reply upload(const QString& key, const QByteArray& data) {
        return upload(key, data, user_.value("upload_token").toString());
    }
    QString uploaded(const QString& key) const {
        return server_.dataDir() + "/uploads/" + user_.value("uid").toString() + "/" + key;
    }
    QByteArray form(const QByteArray& boundary, const QByteArray& file) const {
        return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"token\"\r\n\r\n" +
               user_.value("upload_token").toString().toLatin1() + "\r\n--" + boundary +
               "\r\nContent-Disposition: form-data; name=\"key\"\r\n\r\nform.aac\r\n--" + boundary +
               "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"form.aac\"\r\n"
               "Content-Type: application/octet-stream\r\n\r\n" +
               file;
    }
    ApiClient::Reply postForm(const QByteArray& boundary, const QByteArray& body) {
        return api_->send("POST", "/storage/upload", body,
                          {{"Content-Type", "multipart/form-data; boundary=" + boundary}});
    }
    // Sends the head and the first `sent` bytes of a body declared `declared` long, then hangs
    // up; returns once the service has logged its answer.
    void cutUpload(const QString& key, const QByteArray& data, int sent, int declared) {
        QTcpSocket socket;
        socket.connectToHost(server_.origin().host(), quint16(server_.origin().port()));
        QVERIFY(socket.waitForConnected(5000));
        socket.write("PUT /storage/" + key.toLatin1() + " HTTP/1.1\r\nHost: x\r\nX-Upload-Token: " +
                     user_.value("upload_token").toString().toLatin1() + "\r\nContent-Length: " +
                     QByteArray::number(declared) + "\r\n\r\n" + data.left(sent));
        while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(5000)) {
        }
        socket.disconnectFromHost();
        QTRY_VERIFY_WITH_TIMEOUT(server_.log().contains("PUT /storage/" + key + " status=0"),
                                 10000);
    }
    QJsonObject publish(const QString& key) {
        return api_->postAs(user_, "/show/add",
                            {{"album_id", "0"},
                             {"course_id", "2"},
                             {"dubbing_type", "0"},
                             {"audio", "{\"key\":\"" + key + "\"}"},
                             {"score", "88,87,86,85,0"},
                             {"dub_duration", 60}});
    }
    QJsonArray ranking(const QString& course) {
        return api_
            ->getBuilt("/StudyShow/course_show", {{"uid", ""},
                                                  {"auth_token", ""},
                                                  {"course_id", course},
                                                  {"show_student", 0},
                                                  {"start", 0},
                                                  {"rows", 20}})
            .value("data")
            .toArray();
    }

private slots:
    void initTestCase() {
        QVERIFY(server_.start({"--max-upload-mb", "1", "--upload-quota-mb", "1"}));
        api_ = std::make_unique<ApiClient>(server_.origin());
        user_ = api_->login("learner01", "lintavo01");
        QVERIFY(!user_.isEmpty());
    }
    void cleanupTestCase() { server_.stop(); }

    void clipMediaIsServedWithRanges() {
        ApiClient::Reply srt = api_->get("/media/clip2.srt");
        QCOMPARE(srt.httpStatus, 200);
        QVERIFY(srt.body.startsWith("\xEF\xBB\xBF"
                                    "1\n"));
        QStringList lines = QString::fromUtf8(srt.body.mid(3)).split('\n');
        QCOMPARE(lines[1].left(12), QString("00:00:01,000"));
        QCOMPARE(lines[2], QString("Hi, I just moved in next door."));
        QCOMPARE(lines[3], QString("你好，我刚搬到隔壁。"));
        QCOMPARE(lines[4], QString());
        ApiClient::Reply part = api_->get("/media/clip2.mp4", {{"Range", "bytes=0-99"}});
        QCOMPARE(part.httpStatus, 206);
        QCOMPARE(part.body.size(), 100);
        QCOMPARE(part.headers.value("content-type"), QByteArray("video/mp4"));
        QVERIFY(part.body.mid(4, 4) == "ftyp");
        QCOMPARE(api_->get("/media/clip2-bg.mp3").headers.value("content-type"),
                 QByteArray("audio/mpeg"));
        QCOMPARE(api_->get("/media/clip2-cover.jpg").headers.value("content-type"),
                 QByteArray("image/jpeg"));
        QCOMPARE(api_->get("/media/clip2.mp4", {{"Range", "bytes=999999999-"}}).httpStatus, 416);
        QCOMPARE(api_->get("/media/..%2Flintavo.sqlite").httpStatus, 404);
        QCOMPARE(api_->get("/media/%2Fetc%2Fpasswd").httpStatus, 404);
        QCOMPARE(api_->get("/media/nothing.mp4").httpStatus, 404);
    }

    void storageChecksTokenKeyAndSize() {
        QString token = user_.value("upload_token").toString();
        QCOMPARE(upload("take1.aac", "audio", "wrong").json().value("status").toInt(), 0);
        QCOMPARE(upload("take1.aac", "audio", user_.value("auth_token").toString())
                     .json()
                     .value("status")
                     .toInt(),
                 0);
        QCOMPARE(upload("..%2Fescape.aac", "x", token).json().value("status").toInt(), 0);
        QCOMPARE(upload("script.sh", "x", token).json().value("status").toInt(), 0);
        ApiClient::Reply big = upload("big.aac", QByteArray(2 * 1024 * 1024, 'x'), token);
        QCOMPARE(big.json().value("status").toInt(), 0);
        QVERIFY(!QFile::exists(server_.dataDir() + "/uploads/1/big.aac"));
        ApiClient::Reply ok = upload("2026-12-07-14-05-09-product.aac", TestAudio::aac(), token);
        QCOMPARE(ok.json().value("status").toInt(), 1);
        QCOMPARE(ok.json().value("data").toObject().value("size").toInt(), TestAudio::aac().size());
        QCOMPARE(upload("0-record.wav", TestAudio::wav()).json().value("status").toInt(), 1);
    }

    void onlyAudioOfItsKindIsStored() {
        ApiClient::Reply text = upload("fake.aac", "ADTS-bytes");
        QCOMPARE(text.httpStatus, 415);
        QVERIFY(text.json().value("msg").toString().contains("not audio"));
        QCOMPARE(upload("wave.aac", TestAudio::wav()).httpStatus, 415);
        QCOMPARE(upload("adts.wav", TestAudio::aac()).httpStatus, 415);
        QCOMPARE(upload("half.aac", TestAudio::aac().left(300).replace(0, 7, "garbage")).httpStatus,
                 415);
        for (const char* key : {"fake.aac", "wave.aac", "adts.wav", "half.aac"})
            QVERIFY2(!QFile::exists(uploaded(key)), key);
    }

    void interruptedUploadLeavesNothing() {
        QByteArray good = TestAudio::wav(2);
        QCOMPARE(upload("mine.wav", good).json().value("status").toInt(), 1);
        QByteArray longer = TestAudio::wav(30); // about a megabyte
        cutUpload("mine.wav", longer, longer.size() * 3 / 10, longer.size());
        cutUpload("new.wav", longer, 300000, longer.size());
        QFile kept(uploaded("mine.wav"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), good);
        QVERIFY(!QFile::exists(uploaded("new.wav")));
        QDir folder(QFileInfo(uploaded("mine.wav")).path());
        QCOMPARE(folder.entryList({".part-*"}, QDir::Files | QDir::Hidden), QStringList());
    }

    void multipartUploadToo() {
        QByteArray boundary = "lintavoBoundary";
        QByteArray body = form(boundary, TestAudio::aac()) + "\r\n--" + boundary + "--\r\n";
        ApiClient::Reply reply = postForm(boundary, body);
        QCOMPARE(reply.json().value("status").toInt(), 1);
        QMap<QByteArray, QByteArray> owner = {
            {"X-Upload-Token", user_.value("upload_token").toString().toLatin1()}};
        QCOMPARE(api_->get("/uploads/1/form.aac", owner).body, TestAudio::aac());

        // Without its closing boundary the form is not whole: the stored file stays.
        QByteArray cut = form(boundary, TestAudio::aac(2).left(95));
        QCOMPARE(postForm(boundary, cut).httpStatus, 400);
        QCOMPARE(postForm(boundary, "no boundary in here").httpStatus, 400);
        QByteArray twoFiles = form(boundary, TestAudio::aac()) + "\r\n--" + boundary +
                              "\r\nContent-Disposition: form-data; name=\"file\"; "
                              "filename=\"b.aac\"\r\n\r\n" +
                              TestAudio::aac() + "\r\n--" + boundary + "--\r\n";
        QCOMPARE(postForm(boundary, twoFiles).httpStatus, 400);
        QCOMPARE(api_->get("/uploads/1/form.aac", owner).body, TestAudio::aac());

        // Every field name is remembered, so a form may not carry arbitrarily many of them.
        QByteArray crowded;
        for (int i = 0; i < 20; ++i)
            crowded += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"f" +
                       QByteArray::number(i) + "\"\r\n\r\nx\r\n";
        reply = api_->send("POST", "/storage/upload", crowded + body,
                           {{"Content-Type", "multipart/form-data; boundary=" + boundary}});
        QCOMPARE(reply.json().value("status").toInt(), 0);
        QVERIFY(reply.json().value("msg").toString().contains("too many form fields"));
    }

    void publishedDubIsRankedAndPlayable() {
        QCOMPARE(publish("never-uploaded.aac").value("status").toInt(), 0);
        QCOMPARE(publish("../../lintavo.sqlite").value("status").toInt(), 0);
        int before = ranking("2").size();
        QJsonObject published = publish("2026-12-07-14-05-09-product.aac");
        QCOMPARE(published.value("status").toInt(), 1);
        QJsonArray rows = ranking("2");
        QCOMPARE(rows.size(), before + 1);
        QJsonObject mine;
        for (const auto& r : rows)
            if (r.toObject().value("uid").toString() == user_.value("uid").toString())
                mine = r.toObject();
        for (const char* key : {"avatar", "nickname", "create_time", "uid", "id"})
            QVERIFY2(mine.contains(key), key);
        for (int i = 1; i < rows.size(); ++i) // best first
            QVERIFY(rows[i - 1].toObject().value("score").toInt() >=
                    rows[i].toObject().value("score").toInt());
        QJsonObject detail = api_->getTemplate(
            "/show/detail?", "uid=%1&auth_token=%2&timestamp=%3&show_id=%4&sign=%5",
            {mine.value("uid").toString(), "", ApiClient::timestamp(), mine.value("id").toString()},
            {{"uid", mine.value("uid").toString()},
             {"auth_token", ""},
             {"timestamp", ApiClient::timestamp()},
             {"show_id", mine.value("id").toString()}});
        QJsonObject data = detail.value("data").toObject();
        for (const char* key : {"nickname", "my_shows", "fans", "follows", "title", "difficulty",
                                "course_video_srt", "audio", "avatar"})
            QVERIFY2(data.contains(key), key);
        QCOMPARE(api_->get(QUrl(data.value("audio").toString()).path()).body, TestAudio::aac());
        QCOMPARE(publish("2026-12-07-14-05-09-product.aac").value("status").toInt(), 1);
        QJsonObject badScore = api_->postAs(user_, "/show/add",
                                            {{"course_id", "2"},
                                             {"audio", "{\"key\":\"form.aac\"}"},
                                             {"score", "1,2,3"},
                                             {"dub_duration", 60}});
        QCOMPARE(badScore.value("status").toInt(), 0);
    }

    void unpublishedUploadOnlyForItsOwner() {
        const QString path = "/uploads/" + user_.value("uid").toString() + "/0-record.wav";
        QCOMPARE(api_->get(path).httpStatus, 404);
        QJsonObject other = api_->login("vipmember01", "lintavo02");
        QCOMPARE(
            api_->get(path, {{"X-Upload-Token", other.value("upload_token").toString().toLatin1()}})
                .httpStatus,
            404);
        QCOMPARE(api_->get(path + "?auth_token=" + other.value("auth_token").toString()).httpStatus,
                 404);
        QCOMPARE(
            api_->get(path, {{"X-Upload-Token", user_.value("upload_token").toString().toLatin1()}})
                .body,
            TestAudio::wav());
        QCOMPARE(api_->get(path + "?auth_token=" + user_.value("auth_token").toString()).httpStatus,
                 200);
    }

    void quotaCountsEveryOtherFile() {
        // Started with a quota of 1 MB: this user already stores some 120 kB.
        QByteArray big = TestAudio::wav(15); // about 480 kB
        QCOMPARE(upload("big1.wav", big).json().value("status").toInt(), 1);
        QCOMPARE(upload("big1.wav", big).json().value("status").toInt(), 1); // replaces itself
        ApiClient::Reply over = upload("big2.wav", big);
        QCOMPARE(over.httpStatus, 413);
        QVERIFY(over.json().value("msg").toString().contains("quota"));
        QVERIFY(!QFile::exists(uploaded("big2.wav")));
    }

    void seededDubsHaveAudio() {
        QJsonArray rows = ranking("1");
        QVERIFY(rows.size() >= 2);
        QString audio = rows[0].toObject().value("audio").toString();
        ApiClient::Reply reply = api_->get(QUrl(audio).path(), {{"Range", "bytes=0-1"}});
        QCOMPARE(reply.httpStatus, 206);
    }
};

QTEST_GUILESS_MAIN(TestServerDubs)
#include "TestServerDubs.moc"
