#pragma once

#include "Widget.h"

#include <QVariant>
#include <memory>

namespace Ui {
class TaskView;
}
class TaskViewItem;

// The modal homework window: one row per class group of the teacher.
class TaskView : public Widget {
    Q_OBJECT
public:
    explicit TaskView(QWidget* parent = nullptr);
    ~TaskView() override;

    void setData(const QVariant& groups);
    QList<TaskViewItem*> items() const;

signals:
    // The ids of the chosen groups as a QStringList.
    void ClickAssignTask(const QVariant& ids);

private:
    void addGroup(QVariantMap group);
    void onClickPublish();

    std::unique_ptr<Ui::TaskView> m_ui;
};
