#pragma once

#include "base/Program.h"
#include "ui/Accessibility.h"

#include <QTabWidget>

// The tab strip: four tabs whose index is the current-tab property. Every selection, also of the
// tab already current, is announced as a switch, so that its rules always apply.
class TabStrip : public QTabWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr)
        : QTabWidget(parent)
    {
        connect(this, &QTabWidget::currentChanged, this, [this](int index) {
            const int old = m_last;
            m_last = index;
            announceCurrentTab(tabBar(), old, index);
            emit switched(old, index);
        });
    }
    int CurrTab() const { return currentIndex(); }
    void setCurrTab(int index)
    {
        if (index == currentIndex())
            emit switched(index, index);
        else
            setCurrentIndex(index);
    }
    QString currentCaption() const { return tabText(currentIndex()); }

signals:
    void switched(int oldTab, int newTab);

private:
    int m_last = -1;
};
