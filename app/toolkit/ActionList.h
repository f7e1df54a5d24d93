// User commands as actions with a caption, shortcut, category, "short|long" hint and an enable
// rule that is recomputed whenever the event loop goes idle and again just before the action
// runs.
#pragma once

#include <QAction>
#include <QList>
#include <QPointer>
#include <functional>

class TAction : public QAction {
    Q_OBJECT
public:
    // `name` becomes the object name; the category is kept as the "category" property and the
    // hint as the "hint" property.
    TAction(const QString& name, const QString& category, const QString& caption,
            const QString& hint, QObject* parent);

    // The execute handler; an action without one does nothing.
    std::function<void()> OnExecute;
    // The enable rule; an action without one is always enabled.
    std::function<bool()> OnUpdate;

    QString Category() const;
    QString Hint() const;

    // Enabled := the enable rule.
    void UpdateState();
    // Recomputes the enable rule, then runs the execute handler when the action is enabled. A
    // disabled action does nothing.
    void Execute();
};

// The window's actions. UpdateAll recomputes every enable rule.
class TActionList : public QObject {
    Q_OBJECT
public:
    explicit TActionList(QObject* parent);
    void Add(TAction* action);
    void UpdateAll();
    const QList<QPointer<TAction>>& Actions() const { return actions_; }

private:
    QList<QPointer<TAction>> actions_;
};

// A menu item or button-like action with its own caption and hint that runs `target`: it
// follows the target's enabled state, and triggering it runs the target (which does nothing
// while disabled).
QAction* MakeActionItem(TAction* target, const QString& name, const QString& caption,
                        const QString& hint, QObject* parent);
