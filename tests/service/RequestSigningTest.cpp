#include "CommonHeaders.h"
#include "EndpointTable.h"
#include "EventIds.h"
#include "RequestBuilder.h"
#include "RequestEncoder.h"
#include "RequestSigner.h"
#include "ServiceSettings.h"

#include <QtTest>

// Signing, common headers and the encoders, without any network.
class RequestSigningTest : public QObject {
    Q_OBJECT

private:
    // The vectors below were hashed by hand with this key.
    static constexpr const char* kKey = "lintavo2signkey7x9q4";

    static void requireKnownKey() {
        if (ServiceSettings::signingKey() != QLatin1String(kKey))
            QSKIP("built with another signing key");
    }

private slots:
    void initTestCase() {
        qputenv("LINTAVO_API_ORIGIN", "http://api.test");
        qputenv("LINTAVO_DICT_ORIGIN", "http://dict.test");
    }

    void albumDetailExampleIsAFixedVector() {
        requireKnownKey();
        // md5("album_id42auth_tokentk9is_from_share0security_keylintavo2signkey7x9q4"
        //     "timestamp1700000000uid88")
        const ParamMap params{{"album_id", "42"},
                              {"auth_token", "tk9"},
                              {"is_from_share", 0},
                              {"timestamp", "1700000000"},
                              {"uid", "88"}};
        QCOMPARE(RequestSigner::sign(RequestSigner::withKey(params)),
                 QStringLiteral("4745d7e83783a0e9a7cc26ffcdaf4102"));
    }

    void albumDetailRequestCarriesTheVector() {
        requireKnownKey();
        // md5("album_id42auth_tokenis_from_share0security_keylintavo2signkey7x9q4"
        //     "timestamp1700000000uid"): the album detail is always anonymous.
        RequestBuilder::Inputs inputs;
        inputs.value = {{"albumID", "42"}};
        inputs.recordUid = "88";
        inputs.recordToken = "tk9";
        inputs.timestamp = "1700000000";
        const auto wire =
            RequestBuilder::build(*EndpointTable::find(Event::REQ_ALBUM_DETAIL), inputs);
        QVERIFY(!wire.post);
        QCOMPARE(wire.url, QStringLiteral("http://api.test/album/detail?uid=&auth_token=&timestamp="
                                          "1700000000&album_id=42&is_from_share=0&sign="
                                          "5c610ec7a5f287dced7ed18394a85914"));
    }

    void numbersSignLikeTheirText() {
        const ParamMap numbers{{"rows", 50}, {"start", 0}, {"uid", ""}};
        const ParamMap texts{{"rows", "50"}, {"start", "0"}, {"uid", ""}};
        QCOMPARE(RequestSigner::sign(RequestSigner::withKey(numbers)),
                 RequestSigner::sign(RequestSigner::withKey(texts)));
        QVERIFY(RequestSigner::sign(RequestSigner::withKey(numbers)) !=
                RequestSigner::sign(RequestSigner::withKey({{"rows", "5"}, {"start", "0"}})));
    }

    void upperCaseKeysSortFirst() {
        requireKnownKey();
        // md5("Zeta1alpha2security_keylintavo2signkey7x9q4")
        const ParamMap params{{"alpha", "2"}, {"Zeta", "1"}};
        QCOMPARE(RequestSigner::sign(RequestSigner::withKey(params)),
                 QStringLiteral("0d70ad3845af02b836dcaaec77628dc6"));
    }

    void signingKeyNeverGoesOnTheWire() {
        RequestBuilder::Inputs inputs;
        inputs.recordUid = "u1";
        inputs.recordToken = "t1";
        inputs.timestamp = "1700000000";
        inputs.device = "dev";
        for (const Endpoint& endpoint : EndpointTable::all()) {
            const auto wire = RequestBuilder::build(endpoint, inputs);
            const QString text = wire.url + wire.body;
            QVERIFY2(!text.contains("security_key") &&
                         !text.contains(ServiceSettings::signingKey()),
                     qPrintable(text));
        }
    }

    void emptyDeviceIdGivesEmptyDeviceHeaders() {
        const QMap<QString, QVariant> expected{{"User-Agent", "windows"},
                                               {"DEVICE-TYPE", "4"},
                                               {"LTUSER-AGENT", "windows"},
                                               {"APP-NAME", "LINTAVO"},
                                               {"App-Version", "1.0.0"},
                                               {"Device-Model", "windows 10"},
                                               {"IDFA", ""},
                                               {"DISTINCT-ID", ""},
                                               {"E-DEVICE-ID", ""},
                                               {"CLIENT-OS", "windows 10"}};
        const QMap<QString, QVariant> headers = CommonHeaders::build(QString());
        QCOMPARE(headers.keys(), expected.keys());
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it)
            QCOMPARE(headers.value(it.key()).toString(), it.value().toString());
    }

    void templateValuesAreFilledOnceAndEscaped() {
        // A value that looks like a placeholder stays as it is.
        QCOMPARE(RequestEncoder::templateUrl("o", "/p?", "a=%1&b=%2", {"%2", "x y"}),
                 QStringLiteral("o/p?a=%252&b=x%20y"));
        QCOMPARE(RequestEncoder::escapeTemplateValue(QString::fromUtf8("R&B=#%+ 中/:?")),
                 QString::fromUtf8("R%26B%3D%23%25%2B%20中/:?"));
    }
};

QTEST_GUILESS_MAIN(RequestSigningTest)
#include "RequestSigningTest.moc"
