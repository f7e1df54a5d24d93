// Actions with enable rules, and menu items that stand for an action under their own caption.
#include "ActionList.h"

#include "Application.h"

TAction::TAction(const QString& name, const QString& category, const QString& caption,
                 const QString& hint, QObject* parent)
    : QAction(caption, parent) {
    setObjectName(name);
    setProperty("category", category);
    setProperty("hint", hint);
    connect(this, &QAction::triggered, this, [this] { Execute(); });
}

QString TAction::Category() const {
    return property("category").toString();
}

QString TAction::Hint() const {
    return property("hint").toString();
}

void TAction::UpdateState() {
    if (OnUpdate)
        setEnabled(OnUpdate());
}

void TAction::Execute() {
    Guarded([this] {
        UpdateState();
        if (isEnabled() && OnExecute)
            OnExecute();
    });
}

TActionList::TActionList(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("ActionList1"));
}

void TActionList::Add(TAction* action) {
    actions_.append(action);
}

void TActionList::UpdateAll() {
    for (const QPointer<TAction>& action : actions_) {
        if (action)
            action->UpdateState();
    }
}

QAction* MakeActionItem(TAction* target, const QString& name, const QString& caption,
                        const QString& hint, QObject* parent) {
    auto* item = new QAction(caption, parent);
    item->setObjectName(name);
    item->setProperty("hint", hint);
    item->setEnabled(target->isEnabled());
    QObject::connect(target, &QAction::enabledChanged, item, &QAction::setEnabled);
    QObject::connect(item, &QAction::triggered, target, [target] { target->Execute(); });
    return item;
}
