#include "MainView.h"

#include "CachedFile.h"
#include "SpaceKeyFilter.h"
#include "UserMenu.h"
#include "ui_MainView.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStringListModel>
#include <QStyleOption>
#include <QVBoxLayout>

MainView::MainView(QWidget* parent)
    : Widget(parent), ui(std::make_unique<Ui::MainView>()),
      m_rowsModel(new QStringListModel(this)) {
    ui->setupUi(this);
    setFrameLess(true);
    setMoveable(true);
    m_rows =
        QStringList{QStringLiteral("首页"), QStringLiteral("我的收藏"), QStringLiteral("VIP专区")};
    m_rowsModel->setStringList(m_rows);
    ui->listLeft->setModel(m_rowsModel);
    ui->listLeft->setCurrentIndex(m_rowsModel->index(0));
    ui->editSearch->installEventFilter(this);
    // Space toggles the player wherever the focus is, except in text fields.
    connect(new SpaceKeyFilter(this), &SpaceKeyFilter::pressed, this, &MainView::ClickSpace);
    ui->logo2->hide();
    for (QPushButton* button : {ui->btnPrev, ui->btnNext, ui->btnSearch, ui->btnHead, ui->btnLogin,
                                ui->btnMin, ui->btnMax, ui->btnClose})
        button->setCursor(Qt::PointingHandCursor);
    connectTitleBar();
}

MainView::~MainView() = default;

void MainView::connectTitleBar() {
    connect(ui->btnMin, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(ui->btnMax, &QPushButton::clicked, this, [this](bool checked) {
        if (checked) {
            showMaximized();
            emit ShowMax();
        } else {
            showNormal();
            emit ShowNormal();
        }
    });
    connect(ui->btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->btnPrev, &QPushButton::clicked, this, &MainView::ClickPrev);
    connect(ui->btnNext, &QPushButton::clicked, this, &MainView::ClickNext);
    connect(ui->btnSearch, &QPushButton::clicked, this, &MainView::submitSearch);
    connect(ui->btnHead, &QPushButton::clicked, this, &MainView::ClickHead);
    connect(ui->btnLogin, &QPushButton::clicked, this, &MainView::onClickLogin);
    connect(ui->listLeft, &QListView::clicked, this, &MainView::onClickLeftList);
}

void MainView::submitSearch() {
    const QString text = ui->editSearch->text();
    if (!text.isEmpty())
        emit ClickSearch(text);
}

void MainView::setRightPage(QWidget* page) {
    if (!page)
        return;
    if (!ui->right->layout()) {
        auto* layout = new QVBoxLayout(ui->right);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    page->setParent(ui->right);
    ui->right->layout()->addWidget(page);
    page->show();
}

void MainView::onClickLogin() {
    if (ui->btnLogin->text() == QStringLiteral("请登录")) {
        emit ClickLogin();
        return;
    }
    auto* menu = new UserMenu;
    menu->move(ui->btnLogin->mapToGlobal(QPoint(0, 0)) + QPoint(-50, 30));
    connect(menu, &UserMenu::ClickLogout, this, &MainView::ClickLogout);
    menu->show();
    menu->activateWindow();
}

void MainView::onClickLeftList(const QModelIndex& index) {
    emit ClickLeftList(index.row());
}

void MainView::onKeywordChanged(const QString& keyword) {
    ui->editSearch->setText(keyword);
}

void MainView::onLeftListChanged(const QVariant& list) {
    for (const QVariant& entry : list.toList())
        m_rows << entry.toMap().value(QStringLiteral("nature_title")).toString();
    m_rowsModel->setStringList(m_rows);
    ui->listLeft->setCurrentIndex(m_rowsModel->index(0));
}

void MainView::onUserInfoChanged(const QVariant& info) {
    const QVariantMap user = info.toMap();
    const QString name = user.value(QStringLiteral("name")).toString();
    if (name.isEmpty()) {
        ui->btnLogin->setText(QStringLiteral("请登录"));
        setDefaultHead();
        return;
    }
    // A button reads "&" as a shortcut mark; the user's name is shown as written.
    ui->btnLogin->setText(QString(name).replace(QLatin1Char('&'), QLatin1String("&&")));
    CachedFile::fetch(user.value(QStringLiteral("head")).toString(), ui->btnHead,
                      [this](const QString& path) {
                          ui->btnHead->setStyleSheet(
                              QStringLiteral("border-radius:15px;border-image:url(%1);").arg(path));
                      });
}

void MainView::setDefaultHead() {
    ui->btnHead->setStyleSheet(QStringLiteral("border-image: url(:/images/btnHead.png);"));
}

void MainView::onPeiYinStatusChanged(bool on) {
    for (QWidget* widget : {ui->search, ui->left, static_cast<QWidget*>(ui->btnHead),
                            static_cast<QWidget*>(ui->btnLogin)})
        widget->setVisible(!on);
    ui->logo2->setVisible(on);
    for (QWidget* widget : {ui->widget, ui->title, ui->left, static_cast<QWidget*>(this)})
        widget->repaint();
}

bool MainView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->editSearch && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            submitSearch();
        return false; // the line edit still gets the key
    }
    return Widget::eventFilter(watched, event);
}

void MainView::paintEvent(QPaintEvent*) {
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
