#include "ui/Accessibility.h"

#include <QAccessibleWidget>
#include <QFrame>
#include <QHash>
#include <QMetaClassInfo>
#include <QPointer>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// A tool button as a screen reader sees it: a check box while checkable, a push button
// otherwise, named by its text (a toolbar button shows only its picture), described by its
// tooltip, and pressed or toggled exactly as a click would do it.
class ToolButtonAccessible : public QAccessibleWidget {
public:
    explicit ToolButtonAccessible(QToolButton* button)
        : QAccessibleWidget(button, QAccessible::Button)
    {}

    QAccessible::Role role() const override
    {
        return button()->isCheckable() ? QAccessible::CheckBox : QAccessible::Button;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = button()->isCheckable();
        s.checked = button()->isChecked();
        s.pressed = button()->isDown();
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (text.isEmpty() && t == QAccessible::Name)
            text = button()->text();
        return text;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames(); // "SetFocus" where it applies
        if (button()->isEnabled())
            names.prepend(button()->isCheckable() ? toggleAction() : pressAction());
        return names;
    }

    void doAction(const QString& action) override
    {
        if (action == toggleAction() || action == pressAction()) {
            if (button()->isEnabled() && actionNames().contains(action))
                button()->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QToolButton* button() const { return static_cast<QToolButton*>(widget()); }
};

// A plain frame, as Qt has it, except that a line drawn between parts of a window is a
// separator rather than a border (which a screen reader calls a frame, as it does a window).
class FrameAccessible : public QAccessibleWidget {
public:
    explicit FrameAccessible(QFrame* frame)
        : QAccessibleWidget(frame, QAccessible::Border)
    {}

    QAccessible::Role role() const override
    {
        const QFrame::Shape shape = static_cast<QFrame*>(widget())->frameShape();
        return shape == QFrame::HLine || shape == QFrame::VLine ? QAccessible::Separator
                                                                : QAccessible::Border;
    }
};

// One tab of a tab strip: a page tab, selected while it is the current one, pressed to make it
// current.
class TabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TabAccessible(QTabBar* bar, int index)
        : m_bar(bar)
        , m_index(index)
    {}

    bool isValid() const override { return m_bar && m_index < m_bar->count(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_bar.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const bool current = m_index == m_bar->currentIndex();
        s.disabled = !m_bar->isEnabled() || !m_bar->isTabEnabled(m_index);
        s.invisible = !m_bar->isVisible() || !m_bar->isTabVisible(m_index);
        s.offscreen = s.invisible || !m_bar->rect().intersects(m_bar->tabRect(m_index));
        s.selectable = true;
        s.selected = current;
        s.focusable = m_bar->focusPolicy() != Qt::NoFocus;
        s.focused = current && m_bar->hasFocus();
        return s;
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect tab = m_bar->tabRect(m_index);
        return QRect(m_bar->mapToGlobal(tab.topLeft()), tab.size());
    }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name: {
            QString name = m_bar->tabText(m_index);
            name.remove(QLatin1Char('&')); // a mnemonic's mark is not read
            return name;
        }
        case QAccessible::Description:
            return m_bar->tabToolTip(m_index);
        case QAccessible::Help:
            return m_bar->tabWhatsThis(m_index);
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && isValid() && m_bar->isTabEnabled(m_index))
            m_bar->setCurrentIndex(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int index() const { return m_index; }

private:
    QPointer<QTabBar> m_bar;
    int m_index;
};

// The tab strip: a page tab list whose children are its tabs, then its scroll buttons.
class TabBarAccessible : public QAccessibleWidget {
public:
    explicit TabBarAccessible(QTabBar* bar)
        : QAccessibleWidget(bar, QAccessible::PageTabList)
    {}
    ~TabBarAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_tabs))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return bar()->count() + int(scrollButtons().size()); }

    QAccessibleInterface* child(int index) const override
    {
        if (index < 0)
            return nullptr;
        if (index < bar()->count()) {
            if (const QAccessible::Id id = m_tabs.value(index))
                return QAccessible::accessibleInterface(id);
            auto* tab = new TabAccessible(bar(), index);
            m_tabs.insert(index, QAccessible::registerAccessibleInterface(tab));
            return tab;
        }
        const QList<QToolButton*> buttons = scrollButtons();
        const qsizetype button = index - bar()->count();
        return button < buttons.size() ? QAccessible::queryAccessibleInterface(buttons[button])
                                       : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        if (child->role() == QAccessible::PageTab && child->parent() == this)
            return static_cast<const TabAccessible*>(child)->index();
        const qsizetype button =
            scrollButtons().indexOf(qobject_cast<QToolButton*>(child->object()));
        return button < 0 ? -1 : bar()->count() + int(button);
    }

    QAccessibleInterface* focusChild() const override
    {
        return bar()->hasFocus() ? child(bar()->currentIndex()) : nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (text.isEmpty() && t == QAccessible::Name && bar()->currentIndex() >= 0)
            text = bar()->tabText(bar()->currentIndex()).remove(QLatin1Char('&'));
        return text;
    }

private:
    QTabBar* bar() const { return static_cast<QTabBar*>(widget()); }
    QList<QToolButton*> scrollButtons() const
    {
        return bar()->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly);
    }

    mutable QHash<int, QAccessible::Id> m_tabs;
};

// Asked once per widget, with its own class name first and then its base classes' names.
QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (!object->isWidgetType() || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    // Only the plain class: Qt's own kinds (menu buttons, the toolbar's overflow button, a line
    // edit's clear button) keep their interfaces.
    if (object->metaObject() == &QToolButton::staticMetaObject) {
        auto* button = static_cast<QToolButton*>(object);
        return button->menu() ? nullptr : new ToolButtonAccessible(button);
    }
    if (object->metaObject() == &QFrame::staticMetaObject)
        return new FrameAccessible(static_cast<QFrame*>(object));
    if (object->metaObject() == &QTabBar::staticMetaObject)
        return new TabBarAccessible(static_cast<QTabBar*>(object));
    // Our windows made from a plain widget say what they are (Q_CLASSINFO "accessibleRole");
    // Qt would call them panels.
    const QMetaObject* meta = object->metaObject();
    if (const int info = meta->indexOfClassInfo("accessibleRole"); info >= 0) {
        const QLatin1String role(meta->classInfo(info).value());
        if (role == QLatin1String("dialog"))
            return new QAccessibleWidget(widget, QAccessible::Dialog);
        if (role == QLatin1String("window"))
            return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void announceCurrentTab(QTabBar* bar, int oldTab, int newTab,
                        const std::function<void(QAccessibleEvent*)>& send)
{
    if ((!send && !QAccessible::isActive()) || oldTab == newTab)
        return;
    QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(bar);
    if (!strip)
        return;
    const auto deliver = [&send](QAccessibleEvent* event) {
        if (send)
            send(event);
        else
            QAccessible::updateAccessibility(event);
    };
    QAccessible::State selection;
    selection.selected = true;
    for (const int tab : {oldTab, newTab}) {
        if (tab < 0 || tab >= bar->count())
            continue;
        QAccessibleInterface* iface = strip->child(tab);
        QAccessibleStateChangeEvent changed(iface, selection);
        deliver(&changed);
        // The form the accessibility bus of the free desktops passes on: it reports the tab's
        // "selected" state as it now is.
        QAccessibleEvent selected(iface, tab == newTab ? QAccessible::SelectionAdd
                                                       : QAccessible::SelectionRemove);
        deliver(&selected);
    }
}

void nameOverflowButton(QToolBar* toolbar)
{
    if (auto* more = toolbar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More buttons"));
}
