#include "zOwningForm.h"

#include <QWidget>

namespace travaso {

QWidget* OwningForm(QObject* owner)
{
    for (QObject* o = owner; o; o = o->parent())
        if (auto* w = qobject_cast<QWidget*>(o))
            return w->window();
    return nullptr;
}

}  // namespace travaso
