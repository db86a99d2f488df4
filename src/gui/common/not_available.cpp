#include "gui/common/not_available.h"

#include <QAction>
#include <QRegularExpression>

namespace movra {

QString NotAvailableYet(const QString& what) {
    return what + QStringLiteral("（この機能はまだ使えません）");
}

QString PlainCaption(const QString& caption) {
    QString plain = caption;
    plain.remove(QStringLiteral("..."));
    plain.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    return plain;
}

QAction* MarkNotAvailableYet(QAction* action) {
    action->setToolTip(NotAvailableYet(PlainCaption(action->text())));
    action->setEnabled(false);
    action->setProperty("notAvailableYet", true);
    return action;
}

bool IsNotAvailableYet(const QAction* action) { return action->property("notAvailableYet").toBool(); }

}  // namespace movra
