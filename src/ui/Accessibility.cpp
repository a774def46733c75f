#include "ui/Accessibility.h"

#include <QAccessibleWidget>
#include <QFrame>
#include <QMetaClassInfo>
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

void nameOverflowButton(QToolBar* toolbar)
{
    if (auto* more = toolbar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More buttons"));
}
