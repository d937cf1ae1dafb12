#include "ListView.h"

#include "CachedFile.h"
#include "Toast.h"
#include "VideoItemView.h"
#include "ui_ListView.h"

#include <QButtonGroup>

namespace {
const QString kAlbumMode = QStringLiteral("LIST_ALBUM");
const QString kLoading = QStringLiteral("正在加载中...");
const QString kNothing = QStringLiteral("暂时没有内容噢...");
const QString kFailed = QStringLiteral("加载失败，请稍后重试");
constexpr int kToastMs = 3000;
const QString kAlbumNotice =
    QStringLiteral("本专辑视频仅供免费学习使用！如需观看完整版，请支持正版！");
constexpr int kItemKeyRole = Qt::UserRole + 1;

QString itemKey(const QVariantMap& item) {
    return item.value(QStringLiteral("module")).toString() + QLatin1Char(':') +
           item.value(QStringLiteral("id")).toString();
}
} // namespace

ListView::ListView(QWidget* parent) : Widget(parent), ui(std::make_unique<Ui::ListView>()) {
    ui->setupUi(this);
    setFrameLess(true);
    setMoveable(false);
    setDropShadow(ui->widget, QColor(0, 0, 0, 76));
    ui->album->hide();
    ui->option->hide();
    ui->sw->setCurrentIndex(0);
    connectButtons();
}

ListView::~ListView() = default;

void ListView::connectButtons() {
    connect(ui->btnVideo, &QPushButton::clicked, this, &ListView::onClickVideo);
    connect(ui->btnAlbum, &QPushButton::clicked, this, &ListView::onClickAlbum);
    connect(ui->btnFavorite, &QPushButton::clicked, this, &ListView::onClickFavorite);
    connect(ui->btnMore, &QPushButton::clicked, this, &ListView::onClickMore);
    for (QButtonGroup* group : {ui->btnGroupType, ui->btnGroupLevel, ui->btnGroupLang,
                                ui->btnGroupSpeed, ui->btnGroupRole, ui->btnGroupCount})
        connect(group, QOverload<QAbstractButton*>::of(&QButtonGroup::buttonClicked), this,
                &ListView::onRefresh);
    connect(ui->listWidget, &ListWidget::LoadMore, this, &ListView::LoadMore);
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        button->setCursor(Qt::PointingHandCursor);
}

QString ListView::groupValue(const QButtonGroup* group, const QHash<QString, QString>& values) {
    const QAbstractButton* checked = group->checkedButton();
    return checked ? values.value(checked->objectName(), QStringLiteral("all"))
                   : QStringLiteral("all");
}

QVariantMap ListView::filters() const {
    static const QHash<QString, QString> sort{{QStringLiteral("btnHot"), QStringLiteral("hot")},
                                              {QStringLiteral("btnNew"), QStringLiteral("new")}};
    static const QHash<QString, QString> level{{QStringLiteral("btnLevel1"), QStringLiteral("0")},
                                               {QStringLiteral("btnLevel2"), QStringLiteral("1")},
                                               {QStringLiteral("btnLevel3"), QStringLiteral("2")},
                                               {QStringLiteral("btnLevel4"), QStringLiteral("3")},
                                               {QStringLiteral("btnLevel5"), QStringLiteral("4")},
                                               {QStringLiteral("btnLevel6"), QStringLiteral("5")}};
    static const QHash<QString, QString> language{
        {QStringLiteral("btnLanguage1"), QStringLiteral("1")},
        {QStringLiteral("btnLanguage2"), QStringLiteral("2")},
        {QStringLiteral("btnLanguage3"), QStringLiteral("3")},
        {QStringLiteral("btnLanguage4"), QStringLiteral("4")}};
    static const QHash<QString, QString> speed{{QStringLiteral("btnSpeed1"), QStringLiteral("1")},
                                               {QStringLiteral("btnSpeed2"), QStringLiteral("2")},
                                               {QStringLiteral("btnSpeed3"), QStringLiteral("3")},
                                               {QStringLiteral("btnSpeed4"), QStringLiteral("4")},
                                               {QStringLiteral("btnSpeed5"), QStringLiteral("5")}};
    static const QHash<QString, QString> role{{QStringLiteral("btnRole1"), QStringLiteral("1")},
                                              {QStringLiteral("btnRole2"), QStringLiteral("2")},
                                              {QStringLiteral("btnRole3"), QStringLiteral("3")},
                                              {QStringLiteral("btnRole4"), QStringLiteral("4")}};
    static const QHash<QString, QString> count{{QStringLiteral("btnCount1"), QStringLiteral("1,2")},
                                               {QStringLiteral("btnCount2"), QStringLiteral("3,5")},
                                               {QStringLiteral("btnCount3"), QStringLiteral("6,9")},
                                               {QStringLiteral("btnCount4"), QStringLiteral("10")}};
    return {{QStringLiteral("sort"), groupValue(ui->btnGroupType, sort)},
            {QStringLiteral("difficulty"), groupValue(ui->btnGroupLevel, level)},
            {QStringLiteral("pronunciation"), groupValue(ui->btnGroupLang, language)},
            {QStringLiteral("speed"), groupValue(ui->btnGroupSpeed, speed)},
            {QStringLiteral("role"), groupValue(ui->btnGroupRole, role)},
            {QStringLiteral("subtitle"), groupValue(ui->btnGroupCount, count)}};
}

int ListView::cardCount() const {
    return ui->listWidget->count();
}

QVariantList ListView::cards() const {
    QVariantList shown;
    for (int i = 0; i < ui->listWidget->count(); ++i)
        if (auto* card =
                qobject_cast<VideoItemView*>(ui->listWidget->itemWidget(ui->listWidget->item(i))))
            shown << card->data();
    return shown;
}

QString ListView::emptyText() const {
    return ui->labelWord->text();
}

bool ListView::showsCards() const {
    return ui->sw->currentIndex() == 1;
}

void ListView::clearGrid() {
    while (ui->listWidget->count() > 0) {
        QListWidgetItem* item = ui->listWidget->item(0);
        delete ui->listWidget->itemWidget(item);
        delete item;
    }
    // A cleared grid waits for a new list, which may again be continued.
    ui->listWidget->loadingFinished();
    ui->labelWord->setText(kLoading);
    ui->sw->setCurrentIndex(0);
}

void ListView::showEmpty() {
    ui->labelWord->setText(kNothing);
    ui->sw->setCurrentIndex(0);
}

int ListView::appendCards(const QVariantList& entries, const QString& module) {
    QSet<QString> shown;
    for (int i = 0; i < ui->listWidget->count(); ++i)
        shown.insert(ui->listWidget->item(i)->data(kItemKeyRole).toString());
    int added = 0;
    for (const QVariant& entry : entries) {
        QVariantMap item = entry.toMap();
        item.insert(QStringLiteral("module"), module);
        const QString key = itemKey(item);
        if (shown.contains(key))
            continue;
        shown.insert(key);
        auto* card = new VideoItemView;
        card->setData(item);
        auto* row = new QListWidgetItem(ui->listWidget);
        row->setData(kItemKeyRole, key);
        row->setSizeHint(card->size());
        ui->listWidget->setItemWidget(row, card);
        connect(card, &VideoItemView::ClickVideoItem, this, &ListView::ClickVideoItem);
        ++added;
    }
    return added;
}

void ListView::onClickVideo() {
    clearGrid();
    emit ClickVideo();
}

void ListView::onClickAlbum() {
    clearGrid();
    emit ClickAlbum();
}

void ListView::onClickFavorite() {
    emit ClickFavorite();
}

void ListView::onClickMore() {
    if (ui->option)
        ui->option->setVisible(ui->btnMore->isChecked());
}

void ListView::onRefresh() {
    clearGrid();
    emit ClickRefresh(filters());
}

void ListView::onTabChanged(const QVariant& video) {
    QPushButton* tab = video.toBool() ? ui->btnVideo : ui->btnAlbum;
    if (tab)
        tab->setChecked(true);
}

void ListView::removeTabs() {
    delete ui->btnVideo;
    delete ui->btnAlbum;
    delete ui->hl4;
    ui->btnVideo = nullptr;
    ui->btnAlbum = nullptr;
    ui->hl4 = nullptr;
}

void ListView::removeFilters() {
    delete ui->screen;
    delete ui->option;
    ui->screen = nullptr;
    ui->option = nullptr;
}

void ListView::onListStatusChanged(const QString& mode) {
    m_mode = mode;
    if (mode == QLatin1String("LIST_MORE")) {
        ui->iconNull->hide();
        ui->btnVideo->setText(QStringLiteral("视频"));
        removeTabs();
    } else if (mode == QLatin1String("LIST_FAVORITE")) {
        ui->iconNull->show();
        ui->btnVideo->setText(QStringLiteral("配音视频"));
        removeFilters();
        clearGrid();
        emit ClickVideo();
    } else if (mode == QLatin1String("LIST_SEARCH")) {
        ui->iconNull->hide();
        ui->btnVideo->setText(QStringLiteral("视频"));
        removeFilters();
    } else if (mode == kAlbumMode) {
        ui->album->show();
        ui->listWidget->setMinimumHeight(380);
        ui->sw->setCurrentIndex(1);
        removeTabs();
    } else if (mode == QLatin1String("LIST_VIDEO")) {
        removeTabs();
    }
}

void ListView::onListVideoDataChanged(const QVariant& list) {
    const QVariantList entries = list.toList();
    if (m_mode == kAlbumMode) {
        clearGrid();
        ui->sw->setCurrentIndex(1);
        appendCards(entries, QStringLiteral("course"));
        ui->listWidget->loadingFinished();
        return;
    }
    // An empty or already shown page after the first one ends the list: the
    // grid keeps its cards and asks for nothing more.
    if (entries.isEmpty()) {
        if (cardCount() == 0)
            showEmpty();
        return;
    }
    ui->sw->setCurrentIndex(1);
    if (appendCards(entries, QStringLiteral("course")) > 0)
        ui->listWidget->loadingFinished();
}

void ListView::showAlbums(const QVariant& list, bool continuing) {
    const QVariantList entries = list.toList();
    if (!continuing)
        clearGrid();
    if (entries.isEmpty()) {
        if (cardCount() == 0)
            showEmpty();
        return;
    }
    ui->sw->setCurrentIndex(1);
    if (appendCards(entries, QStringLiteral("album")) > 0 || !continuing)
        ui->listWidget->loadingFinished();
}

void ListView::onListAlbumVIPChanged(const QVariant& list) {
    // While more is loading the next page continues the grid.
    showAlbums(list, ui->listWidget->isLoading() && cardCount() > 0);
}

void ListView::onListAlbumDataChanged(const QVariant& list) {
    clearGrid();
    if (ui->btnAlbum && ui->btnAlbum->isChecked())
        showAlbums(list, false);
}

void ListView::onLoadFailed(const QString& message) {
    const QString text = message.isEmpty() ? kFailed : message;
    // Scrolling to the end asks again.
    ui->listWidget->loadingFinished();
    if (cardCount() > 0) {
        Toast::info(text, kToastMs);
        return;
    }
    ui->labelWord->setText(text);
    ui->sw->setCurrentIndex(0);
}

void ListView::onAlbumDataChanged(const QVariant& data) {
    const QVariantMap album = data.toMap();
    const QString difficulty = album.value(QStringLiteral("difficulty")).toString();
    ui->title->setText(album.value(QStringLiteral("album_title")).toString());
    ui->level->setText(QStringLiteral("PreA") + difficulty);
    ui->start->setStyleSheet(
        QStringLiteral("border-image: url(:/images/level%1.png)").arg(difficulty));
    ui->overview->setText(album.value(QStringLiteral("description")).toString() +
                          QLatin1Char('\n') + kAlbumNotice);
    CachedFile::fetch(
        album.value(QStringLiteral("pic")).toString(), ui->photo, [this](const QString& path) {
            ui->photo->setStyleSheet(QStringLiteral("QWidget#photo{ border-radius: 10px; "
                                                    "border-image:url(%1); }")
                                         .arg(path));
        });
}
