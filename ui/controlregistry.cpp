#include "ui/controlregistry.h"

#include "ui/tagged.h"

int tagOf(const QObject* control) {
    const auto* tagged = dynamic_cast<const Tagged*>(control);
    return tagged ? tagged->tag() : 0;
}

void ControlRegistry::add(QWidget* control) {
    m_controls.push_back(control);
}
