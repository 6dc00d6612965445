#include "toolkit/widgets/SystemMenu.h"

#include "toolkit/widgets/Application.h"

#include <QMenu>
#include <QWidget>

#include <memory>

namespace nebulo {

TSystemMenu::TSystemMenu(QWidget* Window) : QObject(Window), Window_(Window)
{
    setObjectName("SystemMenu");
    Items_ = {{MF_STRING, SC_RESTORE, "&Restore"},
              {MF_STRING, SC_MINIMIZE, "Mi&nimize"},
              {MF_STRING, SC_MAXIMIZE, "Ma&ximize"},
              {MF_SEPARATOR, 0, QString()},
              {MF_STRING, SC_CLOSE, "&Close"}};
}

void TSystemMenu::Append(uint32_t Flags, uintptr_t Id, const QString& Text)
{
    Items_.push_back({Flags, Id, Text});
}

void TSystemMenu::Popup(const QPoint& Where)
{
    auto* Menu = new QMenu(Window_);
    Menu->setObjectName("SystemMenuPopup");
    Menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const TItem& Item : Items_) {
        if (Item.Flags & MF_SEPARATOR) {
            Menu->addSeparator();
            continue;
        }
        const uintptr_t Id = Item.Id;
        Menu->addAction(Item.Text, this, [this, Id] { Choose(Id); });
    }
    Menu->popup(Where);
}

void TSystemMenu::Choose(uintptr_t Id)
{
    Application().PostMessage(SystemCommandMessage(Window_, Id));
}

HMENU GetSystemMenu(QWidget* Window, bool Revert)
{
    auto* Menu = Window->findChild<TSystemMenu*>("SystemMenu", Qt::FindDirectChildrenOnly);
    if (Revert) {
        std::unique_ptr<TSystemMenu> Standard(Menu);
        return nullptr;
    }
    return Menu != nullptr ? Menu : new TSystemMenu(Window);
}

bool AppendMenuA(HMENU Menu, uint32_t Flags, uintptr_t IDNewItem, const char* NewItem)
{
    if (Menu == nullptr)
        return false;
    Menu->Append(Flags, IDNewItem, QString::fromLatin1(NewItem != nullptr ? NewItem : ""));
    return true;
}

} // namespace nebulo
