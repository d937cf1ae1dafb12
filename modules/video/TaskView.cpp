#include "TaskView.h"

#include "CachedFile.h"
#include "TaskViewItem.h"
#include "ui_TaskView.h"

#include <QFileInfo>
#include <QListWidgetItem>

TaskView::TaskView(QWidget* parent) : Widget(parent), m_ui(std::make_unique<Ui::TaskView>()) {
    m_ui->setupUi(this);
    setFrameLess(true);
    setDropShadow(m_ui->widget, QColor(0, 0, 0, 76));
    setMoveable(false);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    connect(m_ui->btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui->btnPublish, &QPushButton::clicked, this, &TaskView::onClickPublish);
}

TaskView::~TaskView() = default;

void TaskView::setData(const QVariant& groups) {
    for (const QVariant& group : groups.toList())
        addGroup(group.toMap());
}

void TaskView::addGroup(QVariantMap group) {
    auto* item = new TaskViewItem(m_ui->listWidget);
    auto* row = new QListWidgetItem(m_ui->listWidget);
    row->setSizeHint(item->size());
    m_ui->listWidget->setItemWidget(row, item);
    // The row is filled once the teacher's picture is in the working folder.
    const QString avatar = group.value("teacher_avatar").toString();
    if (avatar.isEmpty()) {
        item->setData(group);
        return;
    }
    CachedFile::fetch(avatar, item, [item, group](const QString& path) mutable {
        group.insert("head", path);
        item->setData(group);
    });
}

QList<TaskViewItem*> TaskView::items() const {
    QList<TaskViewItem*> result;
    for (int i = 0; i < m_ui->listWidget->count(); ++i)
        result << qobject_cast<TaskViewItem*>(
            m_ui->listWidget->itemWidget(m_ui->listWidget->item(i)));
    return result;
}

void TaskView::onClickPublish() {
    QStringList ids;
    for (TaskViewItem* item : items())
        if (item && item->isChecked())
            ids << item->data().toMap().value("id").toString();
    emit ClickAssignTask(ids);
    close();
}
