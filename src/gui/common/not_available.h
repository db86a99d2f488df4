#pragma once
// Functions that come in a later stage are shown already (menu items, buttons), disabled, with a
// tooltip that says they cannot be used yet.
#include <QString>

class QAction;

namespace movra {

// The tooltip of a function that is not there yet: its name and the note.
QString NotAvailableYet(const QString& what);
// A menu caption as a tooltip names the item: without its accelerator "(&X)" and a trailing "...".
QString PlainCaption(const QString& caption);
// Disables the action, gives it the tooltip and marks it (IsNotAvailableYet); returns it.
QAction* MarkNotAvailableYet(QAction* action);
bool IsNotAvailableYet(const QAction* action);

}  // namespace movra
