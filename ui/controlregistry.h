// The window's controls in creation order: depth first, a parent before its children, siblings in
// the order they were composed. The painters walk this list.
#pragma once

#include <QWidget>

#include <vector>

class ControlRegistry {
public:
    void add(QWidget* control);
    const std::vector<QWidget*>& controls() const { return m_controls; }

private:
    std::vector<QWidget*> m_controls;
};
