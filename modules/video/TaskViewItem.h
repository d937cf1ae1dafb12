#pragma once

#include <QVariant>
#include <QWidget>
#include <memory>

namespace Ui {
class TaskViewItem;
}

// One class group in the homework window, with its own choice button.
class TaskViewItem : public QWidget {
    Q_OBJECT
public:
    explicit TaskViewItem(QWidget* parent = nullptr);
    ~TaskViewItem() override;

    void setData(const QVariant& group);
    QVariant data() const { return m_group; }
    bool isChecked() const;
    void setChecked(bool checked);

private:
    void showPicture(const QString& path);

    std::unique_ptr<Ui::TaskViewItem> m_ui;
    QVariant m_group;
};
