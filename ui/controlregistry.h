// The window's controls in creation order: depth first, a parent before its children, siblings in
// the order they were composed. The painters walk this list.
#pragma once

#include <QHash>
#include <QString>
#include <QWidget>

#include <vector>

class ControlRegistry {
public:
    void add(QWidget* control);
    const std::vector<QWidget*>& controls() const { return m_controls; }

    // For tests and tools; the program itself keeps typed pointers.
    QWidget* find(const QString& objectName) const { return m_byName.value(objectName); }

private:
    std::vector<QWidget*> m_controls;
    QHash<QString, QWidget*> m_byName;
};
