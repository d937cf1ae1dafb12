#include "HomeBannerAndHotSearchView.h"

#include "BannerView.h"
#include "CachedFile.h"
#include "HomeHotSearchItemDelegate.h"
#include "ui_HomeBannerAndHotSearchView.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>
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
    // The delegate paints each keyword at a place of its own, not in the row
    // the view lays out there: a click is resolved by what is painted.
    ui->listView->viewport()->installEventFilter(this);
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

int HomeBannerAndHotSearchView::rankAt(const QPoint& pos) const {
    const QModelIndex first = m_keywords->index(0, 0);
    const int w = first.isValid() ? ui->listView->visualRect(first).width() : 0;
    return m_delegate->rankAt(pos, w);
}

QString HomeBannerAndHotSearchView::keywordOfRank(int rank) const {
    for (int row = 0; row < m_keywords->rowCount(); ++row) {
        const QModelIndex index = m_keywords->index(row, 0);
        if (index.data(Qt::DisplayRole).toInt() == rank)
            return index.data(Qt::DecorationRole).toString();
    }
    return QString();
}

bool HomeBannerAndHotSearchView::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (watched == ui->listView->viewport() && (press || release)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            onKeywordMouse(press, mouse->pos());
    }
    return QWidget::eventFilter(watched, event);
}

void HomeBannerAndHotSearchView::onKeywordMouse(bool press, const QPoint& pos) {
    // A row the view repaints after a click may hold another row's keyword.
    ui->listView->viewport()->update();
    const int rank = rankAt(pos);
    if (press) {
        m_pressedRank = rank;
        return;
    }
    const bool same = rank != 0 && rank == m_pressedRank;
    m_pressedRank = 0;
    const QString keyword = same ? keywordOfRank(rank) : QString();
    if (!keyword.isEmpty())
        emit ClickHotSearch(keyword);
}

void HomeBannerAndHotSearchView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emit sizeChanged(ui->listView->size());
}
