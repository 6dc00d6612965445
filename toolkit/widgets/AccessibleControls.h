#pragma once

#include <QAccessible>
#include <QKeySequence>
#include <QString>

namespace nebulo {

// Tells screen readers what Qt's own descriptions of the toolkit's controls
// leave out: a speed button's key and its down state, and a slider's value
// in the units it stands for. Safe to call more than once.
void RegisterAccessibleControls();

// Adds Factory to those Qt asks for the interfaces of objects, once however
// often it is called.
void InstallAccessibleFactory(QAccessible::InterfaceFactory Factory);

// A key as the accelerator part of a key binding on the accessibility bus,
// in the notation screen readers parse: Ctrl+V is "<Control>v".
QString AcceleratorText(const QKeySequence& Key);

} // namespace nebulo
