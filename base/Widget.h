#pragma once

#include <QColor>
#include <QPoint>
#include <QWidget>

// Base of every view: a frameless, optionally movable window with a drop
// shadow around its inner panel.
class Widget : public QWidget {
    Q_OBJECT
public:
    explicit Widget(QWidget* parent = nullptr);

public slots:
    virtual void setFrameLess(bool frameless);
    virtual void setQSS(const QString& qss);
    virtual void setDropShadow(QWidget* target, QColor color);
    virtual void setMoveable(bool moveable);
    virtual void setOpaque();
    virtual void adapterToScreen(bool adapt);
    virtual float screenFactor();
    virtual void centerToScreen();
    virtual int comScaledDOT(int value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_moveable = false;
    bool m_dragging = false;
    bool m_adaptToScreen = false;
    QPoint m_dragOffset;
};
