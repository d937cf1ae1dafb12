#include "TaskViewItem.h"

#include "CachedFile.h"
#include "ui_TaskViewItem.h"

TaskViewItem::TaskViewItem(QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::TaskViewItem>()) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
}

TaskViewItem::~TaskViewItem() = default;

void TaskViewItem::setData(const QVariant& group) {
    m_group = group;
    const QVariantMap g = group.toMap();
    m_ui->name->setText(g.value("name").toString());
    const QString image = g.value("image").toString();
    if (image.isEmpty()) {
        showPicture(QStringLiteral(":/images/btnHead.png"));
        return;
    }
    // Group pictures change under the same address, so they are always fetched anew.
    CachedFile::fetch(
        image, this, [this](const QString& path) { showPicture(path); }, true);
}

void TaskViewItem::showPicture(const QString& path) {
    m_ui->head->setStyleSheet(
        QStringLiteral("border-radius: 8px; border-image: url(%1)").arg(path));
}

bool TaskViewItem::isChecked() const {
    return m_ui->btnCheck->isChecked();
}

void TaskViewItem::setChecked(bool checked) {
    m_ui->btnCheck->setChecked(checked);
}
