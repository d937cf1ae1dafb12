#include "HomeItemListWidget.h"

#include <QWheelEvent>

void HomeItemListWidget::wheelEvent(QWheelEvent* event) {
    // Leave the event to the page's list, which scrolls the sections.
    event->ignore();
}
