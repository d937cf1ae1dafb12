#include "WordView.h"

#include "MediaBackend.h"
#include "ServiceSettings.h"
#include "ui_WordView.h"

#include <QMediaPlayer>
#include <QUrlQuery>

WordView::WordView(QWidget* parent)
    : Widget(parent), ui(std::make_unique<Ui::WordView>()), m_player(new QMediaPlayer(this)) {
    MediaBackend::configure(); // before the player first streams a voice
    ui->setupUi(this);
    setFrameLess(true);
    setMoveable(true);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setDropShadow(ui->widget, QColor(0, 0, 0, 76));
    connect(ui->btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->btnAudioEn, &QPushButton::clicked, this, [this] { pronounce(British); });
    connect(ui->btnAudioAm, &QPushButton::clicked, this, [this] { pronounce(American); });
}

WordView::~WordView() = default;

void WordView::setWord(const QVariantMap& record) {
    const QString slash = QStringLiteral("/");
    ui->word->setText(record.value("word").toString());
    ui->labelEn->setText(slash + record.value("ukphonetic").toString() + slash);
    ui->labelAm->setText(slash + record.value("usphonetic").toString() + slash);
    ui->overview->setText(record.value("meaning").toString());
}

QUrl WordView::voiceUrl(const QString& word, Accent accent) {
    QUrl url(ServiceSettings::dictOrigin() + QStringLiteral("/dictvoice"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("type"), QString::number(int(accent)));
    query.addQueryItem(QStringLiteral("audio"), word);
    url.setQuery(query);
    return url;
}

void WordView::pronounce(Accent accent) {
    m_player->stop();
    m_player->setMedia(voiceUrl(ui->word->text(), accent));
    m_player->play();
}

void WordView::closeEvent(QCloseEvent* event) {
    m_player->stop();
    Widget::closeEvent(event);
}
