#include "ui/Accessibility.h"

#include <QAccessibleWidget>
#include <QFrame>
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
    // A line drawn between parts of a window is a separator, not a window's frame.
    if (object->metaObject() == &QFrame::staticMetaObject) {
        const QFrame::Shape shape = static_cast<QFrame*>(object)->frameShape();
        if (shape == QFrame::HLine || shape == QFrame::VLine)
            return new QAccessibleWidget(widget, QAccessible::Separator);
        return nullptr;
    }
    // Our windows made from a plain widget; Qt's dialogs, menus and main windows have their own.
    if (widget->isWindow() && object->metaObject()->superClass() == &QWidget::staticMetaObject) {
        if (widget->windowType() == Qt::Dialog)
            return new QAccessibleWidget(widget, QAccessible::Dialog);
        if (widget->windowType() == Qt::SplashScreen)
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
