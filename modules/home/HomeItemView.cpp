#include "HomeItemView.h"

#include "VideoItemView.h"
#include "ui_HomeItemView.h"

#include <QStringList>

HomeItemView::HomeItemView(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::HomeItemView>()) {
    ui->setupUi(this);
    ui->btnMore->setCursor(Qt::PointingHandCursor);
    ui->btnRefresh->setCursor(Qt::PointingHandCursor);
    connect(ui->btnMore, &QPushButton::clicked, this, [this] { emit ClickMore(m_section); });
    connect(ui->btnRefresh, &QPushButton::clicked, this,
            [this] { emit ClickRefresh(module(), id()); });
}

HomeItemView::~HomeItemView() = default;

QString HomeItemView::id() const {
    return m_section.value(QStringLiteral("id")).toString();
}

QString HomeItemView::module() const {
    return m_section.value(QStringLiteral("module")).toString();
}

int HomeItemView::cardCount() const {
    return ui->listWidget->count();
}

QString HomeItemView::title() const {
    return ui->btnMore->text();
}

void HomeItemView::clearCards() {
    while (ui->listWidget->count() > 0) {
        QListWidgetItem* item = ui->listWidget->item(0);
        delete ui->listWidget->itemWidget(item);
        delete item;
    }
}

void HomeItemView::setData(const QVariant& data) {
    clearCards();
    m_section = data.toMap();
    static const QStringList cardModules{QStringLiteral("course"), QStringLiteral("album"),
                                         QStringLiteral("blue_course"),
                                         QStringLiteral("limit_free")};
    const QString kind = module();
    const QVariantList items =
        cardModules.contains(kind) ? m_section.value(kind).toList() : QVariantList();
    for (const QVariant& entry : items) {
        QVariantMap item = entry.toMap();
        item.insert(QStringLiteral("module"), kind);
        auto* card = new VideoItemView;
        auto* row = new QListWidgetItem(ui->listWidget);
        row->setSizeHint(card->size());
        card->setData(item);
        ui->listWidget->setItemWidget(row, card);
        connect(card, &VideoItemView::ClickVideoItem, this, &HomeItemView::ClickVideoItem);
    }
    ui->btnMore->setText(m_section.value(QStringLiteral("title")).toString() +
                         QStringLiteral(" >"));
}
