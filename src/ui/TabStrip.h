#pragma once

#include "base/Program.h"

#include <QTabWidget>

// The tab strip: four tabs whose index is the current-tab property.
class TabStrip : public QTabWidget {
    Q_OBJECT
public:
    using QTabWidget::QTabWidget;
    int CurrTab() const { return currentIndex(); }
    void setCurrTab(int index) { setCurrentIndex(index); }
    QString currentCaption() const { return tabText(currentIndex()); }
};
