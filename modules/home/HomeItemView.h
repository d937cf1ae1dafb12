#pragma once

#include <QVariant>
#include <QWidget>
#include <memory>

namespace Ui {
class HomeItemView;
}

// One home section: its title (the "more" link), "换一批" and a row of cards.
class HomeItemView : public QWidget {
    Q_OBJECT
public:
    explicit HomeItemView(QWidget* parent = nullptr);
    ~HomeItemView() override;

    void setData(const QVariant& data);
    QVariantMap data() const { return m_section; }
    QString id() const;
    QString module() const;
    int cardCount() const;
    QString title() const;

signals:
    void ClickMore(const QVariant& section);
    void ClickRefresh(const QString& module, const QString& id);
    void ClickVideoItem(const QVariant& item);

private:
    void clearCards();

    std::unique_ptr<Ui::HomeItemView> ui;
    QVariantMap m_section;
};
