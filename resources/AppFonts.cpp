#include "AppFonts.h"

#include <QFont>
#include <QStringList>

void AppFonts::install() {
    QFont::insertSubstitutions(
        QStringLiteral("PingFang SC"),
        {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
         QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Microsoft YaHei")});
}
