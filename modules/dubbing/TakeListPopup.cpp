#include "TakeListPopup.h"

#include "TakeStore.h"
#include "Toast.h"
#include "VideoRecordViewItem.h"
#include "WordColors.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

namespace {
constexpr int kWidth = 300;
constexpr int kEntryHeight = 44;
constexpr int kVisibleEntries = 5;
constexpr int kToastMs = 3000;

const char* const kStyle = R"(
QFrame#takeList{background:#FFFFFF;border:1px solid #E3EBEB;}
QLabel{font-family:"PingFang SC";}
QLabel#takeTitle{font-size:15px;font-weight:bold;color:#333333;}
QLabel#takeHint{font-size:12px;color:rgba(136,136,136,1);}
QLabel#takeName{font-size:14px;font-weight:500;color:#333333;}
QLabel#takeTime{font-size:12px;color:rgba(136,136,136,1);}
QLabel#takeScore{font-size:15px;font-weight:bold;}
QWidget#takeEntry{border-top:1px solid #F0F0F0;}
QPushButton#btnPlayTake{border-image:url(:/images/play.png);border:none;}
QPushButton#btnChooseTake{font-family:"PingFang SC";font-size:12px;color:#2ACF6F;background:#FFFFFF;
  border:1px solid #2ACF6F;border-radius:12px;}
QPushButton#btnChooseTake:checked{color:#FFFFFF;border:none;background:qlineargradient(x1:0,y1:0,
  x2:1,y2:0,stop:0 rgba(44,211,215,1),stop:1 rgba(42,207,111,1));}
QScrollArea{background:transparent;border:none;}
)";

// The word colours' bands, in the page's own green, text grey and red.
QString bandColour(int overall) {
    const QString band = WordColors::colourFor(overall, true);
    return band == QLatin1String("green")   ? QStringLiteral("#2ACF6F")
           : band == QLatin1String("black") ? QStringLiteral("#333333")
                                            : QStringLiteral("#F05A5A");
}

QLabel* label(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}
} // namespace

TakeListPopup::TakeListPopup(VideoRecordViewItem* row)
    : QFrame(row, Qt::Popup | Qt::FramelessWindowHint), m_row(row) {
    setObjectName(QStringLiteral("takeList"));
    setStyleSheet(QLatin1String(kStyle));
    setFixedWidth(kWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(15, 12, 15, 12);
    layout->setSpacing(4);
    layout->addWidget(label(QStringLiteral("录音记录"), "takeTitle", this));
    layout->addWidget(label(QStringLiteral("每一遍都保留，选中的一遍用于配音"), "takeHint", this));
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_entries = new QWidget(scroll);
    m_entries->setObjectName(QStringLiteral("takeEntries"));
    m_entries->setStyleSheet(QStringLiteral("QWidget#takeEntries{background:#FFFFFF;}"));
    m_list = new QVBoxLayout(m_entries);
    m_list->setContentsMargins(0, 0, 0, 0);
    m_list->setSpacing(0);
    scroll->setWidget(m_entries);
    layout->addWidget(scroll);
    // The list follows the store while it is open: a new score or choice.
    connect(row->takeStore(), &TakeStore::changed, this, [this](int sentence) {
        if (isVisible() && sentence == m_row->sentence())
            refresh();
    });
}

void TakeListPopup::popUp(QWidget* anchor) {
    refresh();
    move(anchor->mapToGlobal(QPoint(anchor->width() - width(), anchor->height() + 4)));
    show();
}

void TakeListPopup::refresh() {
    while (QLayoutItem* item = m_list->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QList<TakeStore::Take> takes = m_row->takeStore()->takes(m_row->sentence());
    // The newest first: it is the one the learner has just said.
    for (int i = takes.size() - 1; i >= 0; --i)
        m_list->addWidget(entry(takes.at(i).number));
    m_list->addStretch();
    auto* scroll = m_entries->parentWidget()->parentWidget();
    scroll->setFixedHeight(kEntryHeight * qMin(qMax(int(takes.size()), 1), kVisibleEntries) + 2);
    adjustSize();
}

QWidget* TakeListPopup::entry(int number) {
    TakeStore* store = m_row->takeStore();
    const TakeStore::Take take = store->take(m_row->sentence(), number);
    const bool chosen = store->chosen(m_row->sentence()) == number;
    auto* entry = new QWidget(m_entries);
    entry->setObjectName(QStringLiteral("takeEntry"));
    entry->setAttribute(Qt::WA_StyledBackground);
    entry->setFixedHeight(kEntryHeight);
    entry->setProperty("take", number);
    auto* row = new QHBoxLayout(entry);
    row->setContentsMargins(0, 0, 4, 0);
    row->setSpacing(10);
    row->addWidget(label(QStringLiteral("第%1遍").arg(number), "takeName", entry));
    row->addWidget(label(take.time.toString(QStringLiteral("MM-dd hh:mm")), "takeTime", entry));
    row->addStretch();

    const int overall = take.scores.value(QStringLiteral("overall")).toInt();
    QLabel* score = label(!take.scored        ? QStringLiteral("评分中")
                          : m_row->isMember() ? QString::number(overall)
                                              : QStringLiteral("会员可见"),
                          "takeScore", entry);
    if (take.scored && m_row->isMember())
        score->setStyleSheet(QStringLiteral("color:%1;").arg(bandColour(overall)));
    else
        score->setStyleSheet(QStringLiteral("font-size:12px;font-weight:normal;color:#888888;"));
    row->addWidget(score);

    auto* play = new QPushButton(entry);
    play->setObjectName(QStringLiteral("btnPlayTake"));
    play->setFixedSize(24, 24);
    play->setCursor(Qt::PointingHandCursor);
    play->setToolTip(QStringLiteral("听这一遍"));
    connect(play, &QPushButton::clicked, m_row, [this, number] { m_row->playTake(number); });
    row->addWidget(play);

    auto* choose =
        new QPushButton(chosen ? QStringLiteral("配音用") : QStringLiteral("选用"), entry);
    choose->setObjectName(QStringLiteral("btnChooseTake"));
    choose->setCheckable(true);
    choose->setChecked(chosen);
    choose->setFixedSize(58, 24);
    choose->setCursor(Qt::PointingHandCursor);
    choose->setToolTip(QStringLiteral("这一遍用于配音"));
    connect(choose, &QPushButton::clicked, this, [this, number] {
        if (!m_row->chooseTake(number))
            Toast::info(QStringLiteral("正在录音或评分，请稍后再选"), kToastMs);
        refresh();
    });
    row->addWidget(choose);
    return entry;
}
