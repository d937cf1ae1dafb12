#include "HomeBannerAndHotSearchView.h"

#include "BannerView.h"
#include "CachedFile.h"
#include "HomeHotSearchItemDelegate.h"
#include "ui_HomeBannerAndHotSearchView.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPropertyAnimation>
#include <QStandardItemModel>
#include <QTimer>

HomeBannerAndHotSearchView::HomeBannerAndHotSearchView(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::HomeBannerAndHotSearchView>()) {
    ui->setupUi(this);
    m_bannerA = new BannerView(ui->Banner);
    m_bannerB = new BannerView(ui->Banner);
    m_outAnimation = new QPropertyAnimation(this);
    m_inAnimation = new QPropertyAnimation(this);
    for (QPropertyAnimation* animation : {m_outAnimation, m_inAnimation}) {
        animation->setPropertyName("geometry");
        animation->setDuration(SlideMs);
    }
    fitBanners();
    m_bannerB->move(ui->Banner->width(), 0);
    m_keywords = new QStandardItemModel(this);
    m_delegate = new HomeHotSearchItemDelegate(this);
    ui->listView->setModel(m_keywords);
    ui->listView->setItemDelegate(m_delegate);
    ui->listView->viewport()->setCursor(Qt::PointingHandCursor);
    m_normalSize = size();

    connect(m_bannerA, &BannerView::ClickBanner, this, &HomeBannerAndHotSearchView::ClickBanner);
    connect(m_bannerB, &BannerView::ClickBanner, this, &HomeBannerAndHotSearchView::ClickBanner);
    connect(this, &HomeBannerAndHotSearchView::sizeChanged, m_delegate,
            &HomeHotSearchItemDelegate::onSizeChanged);
    connect(this, &HomeBannerAndHotSearchView::showNormal, m_delegate,
            &HomeHotSearchItemDelegate::onShowNormal);
    connect(ui->listView, &QListView::clicked, this, [this](const QModelIndex& index) {
        // The delegate paints outside its rows; repaint the whole list.
        ui->listView->viewport()->update();
        emit ClickHotSearch(index.data(Qt::DecorationRole).toString());
    });
}

HomeBannerAndHotSearchView::~HomeBannerAndHotSearchView() = default;

void HomeBannerAndHotSearchView::fitBanners() {
    const QSize area = ui->Banner->size();
    m_bannerA->setFixedSize(area);
    m_bannerB->setFixedSize(area);
}

void HomeBannerAndHotSearchView::setBannerData(const QString& json) {
    const QJsonArray items = QJsonDocument::fromJson(json.toUtf8()).array();
    for (const QJsonValue& value : items) {
        const QJsonObject item = value.toObject();
        const QString pic = item.value(QStringLiteral("pic")).toVariant().toString();
        QVariantMap banner{
            {QStringLiteral("type"), item.value(QStringLiteral("type")).toVariant().toString()},
            {QStringLiteral("img"), CachedFile::localPath(pic)},
            {QStringLiteral("link"), item.value(QStringLiteral("url")).toVariant().toString()},
            {QStringLiteral("id"), item.value(QStringLiteral("tyid")).toVariant().toString()}};
        m_banners.append(banner);
        CachedFile::fetch(pic, this, [this](const QString& path) { refreshBannerPicture(path); });
    }
    if (items.isEmpty())
        return;
    carouselStep();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &HomeBannerAndHotSearchView::carouselStep);
    timer->start(IntervalMs);
}

void HomeBannerAndHotSearchView::refreshBannerPicture(const QString& path) {
    // A banner that took its item before the picture arrived shows it now.
    for (BannerView* banner : {m_bannerA, m_bannerB})
        if (banner->data().value(QStringLiteral("img")).toString() == path)
            banner->setData(banner->data());
}

void HomeBannerAndHotSearchView::giveNextItem(BannerView* banner) {
    if (m_banners.isEmpty())
        return;
    const QVariant next = m_banners.takeFirst();
    m_banners.append(next);
    banner->setData(next);
}

void HomeBannerAndHotSearchView::slide(QPropertyAnimation* animation, BannerView* target, int fromX,
                                       int toX) {
    const QSize area = ui->Banner->size();
    animation->stop();
    animation->setTargetObject(target);
    animation->setStartValue(QRect(QPoint(fromX, 0), area));
    animation->setEndValue(QRect(QPoint(toX, 0), area));
    animation->start();
}

void HomeBannerAndHotSearchView::carouselStep() {
    const int w = ui->Banner->width();
    if (!m_outTarget) {
        m_outTarget = m_bannerA;
        giveNextItem(m_outTarget);
    } else {
        m_outTarget = m_outTarget == m_bannerA ? m_bannerB : m_bannerA;
    }
    m_inTarget = (!m_inTarget || m_inTarget == m_bannerA) ? m_bannerB : m_bannerA;
    giveNextItem(m_inTarget);
    slide(m_outAnimation, m_outTarget, 0, -w);
    slide(m_inAnimation, m_inTarget, w, 0);
}

void HomeBannerAndHotSearchView::setHotSearchData(const QString& json) {
    const QJsonArray videos =
        QJsonDocument::fromJson(json.toUtf8()).object().value(QStringLiteral("video")).toArray();
    for (int i = 0; i < videos.size() && i < MaxKeywords; ++i) {
        auto* row = new QStandardItem;
        row->setData(i + 1, Qt::DisplayRole);
        row->setData(
            videos.at(i).toObject().value(QStringLiteral("keyword")).toVariant().toString(),
            Qt::DecorationRole);
        m_keywords->appendRow(row);
    }
}

void HomeBannerAndHotSearchView::showMaximized() {
    resize(width(), int(height() * 1.7));
    layout()->activate();
    fitBanners();
    m_maxSize = size();
    emit showNormal(false);
}

void HomeBannerAndHotSearchView::showRestored() {
    resize(m_normalSize);
    layout()->activate();
    fitBanners();
    emit showNormal(true);
}

void HomeBannerAndHotSearchView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitBanners();
    emit sizeChanged(ui->listView->size());
}

void HomeBannerAndHotSearchView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emit sizeChanged(ui->listView->size());
}
