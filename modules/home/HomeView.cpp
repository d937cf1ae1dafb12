#include "HomeView.h"

#include "HomeBannerAndHotSearchView.h"
#include "HomeItemView.h"
#include "ui_HomeView.h"

#include <QScrollBar>

HomeView::HomeView(QWidget* parent)
    : Widget(parent), ui(std::make_unique<Ui::HomeView>()),
      m_bannerRow(new HomeBannerAndHotSearchView) {
    ui->setupUi(this);
    setFrameLess(true);
    setMoveable(false);
    setDropShadow(ui->widget, QColor(0, 0, 0, 76));
    ui->listWidget->verticalScrollBar()->setSingleStep(30);
    ui->notice->hide();
    connect(ui->btnReload, &QPushButton::clicked, this, [this] {
        ui->notice->hide();
        emit ClickReload();
    });
    m_bannerRow->resize(ui->listWidget->width(), m_bannerRow->height());
    auto* row = new QListWidgetItem(ui->listWidget);
    row->setSizeHint(m_bannerRow->size());
    ui->listWidget->setItemWidget(row, m_bannerRow);
    connect(m_bannerRow, &HomeBannerAndHotSearchView::ClickHotSearch, this,
            &HomeView::ClickHotSearch);
    connect(m_bannerRow, &HomeBannerAndHotSearchView::ClickBanner, this, &HomeView::ClickBanner);
}

HomeView::~HomeView() = default;

QList<HomeItemView*> HomeView::sections() const {
    QList<HomeItemView*> found;
    for (int i = 0; i < ui->listWidget->count(); ++i)
        if (auto* section =
                qobject_cast<HomeItemView*>(ui->listWidget->itemWidget(ui->listWidget->item(i))))
            found << section;
    return found;
}

QString HomeView::noticeText() const {
    return ui->notice->isHidden() ? QString() : ui->labelNotice->text();
}

void HomeView::onLoadFailed(const QString& message) {
    ui->labelNotice->setText(message.isEmpty() ? QStringLiteral("加载失败，请稍后重试") : message);
    ui->notice->show();
}

void HomeView::onBannerDataChanged(const QVariant& data) {
    m_bannerRow->setBannerData(data.toString());
}

void HomeView::onHotDataChanged(const QVariant& data) {
    m_bannerRow->setHotSearchData(data.toString());
}

void HomeView::removeSections() {
    while (ui->listWidget->count() > 1) {
        QListWidgetItem* item = ui->listWidget->item(1);
        delete ui->listWidget->itemWidget(item);
        delete item;
    }
}

void HomeView::addSection(const QVariant& section) {
    auto* view = new HomeItemView;
    view->resize(ui->listWidget->width(), view->height());
    view->setData(section);
    auto* row = new QListWidgetItem(ui->listWidget);
    row->setSizeHint(view->size());
    ui->listWidget->setItemWidget(row, view);
    connect(view, &HomeItemView::ClickMore, this, &HomeView::ClickListItemMore);
    connect(view, &HomeItemView::ClickRefresh, this, &HomeView::ClickListItemRefresh);
    connect(view, &HomeItemView::ClickVideoItem, this, &HomeView::ClickVideoItem);
}

void HomeView::onListDataChanged(const QVariant& list) {
    removeSections();
    for (const QVariant& section : list.toList())
        addSection(section);
}

void HomeView::onListItemDataChanged(const QVariant& section) {
    const QVariantMap m = section.toMap();
    const QString id = m.value(QStringLiteral("id")).toString();
    const QString module = m.value(QStringLiteral("module")).toString();
    for (HomeItemView* view : sections()) {
        const bool match = id.isEmpty() ? view->module() == module : view->id() == id;
        if (match) {
            view->setData(m);
            return;
        }
    }
}

void HomeView::onShowMax() {
    m_bannerRow->showMaximized();
    ui->listWidget->item(0)->setSizeHint(m_bannerRow->size());
}

void HomeView::onShowNormal() {
    m_bannerRow->showRestored();
    ui->listWidget->item(0)->setSizeHint(m_bannerRow->size());
}
