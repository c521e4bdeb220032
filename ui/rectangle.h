// A rectangle with a fill, a border (stroke) drawn inside its bounds, a Tag and a click event.
#pragma once

#include "colors/namedcolors.h"
#include "ui/tagged.h"

#include <QString>
#include <QWidget>

#include <functional>

class Rectangle : public QWidget, public Tagged {
    Q_OBJECT

public:
    explicit Rectangle(QWidget* parent = nullptr);

    TAlphaColor fill() const { return m_fill; }
    void setFill(TAlphaColor color);
    TAlphaColor stroke() const { return m_stroke; }
    void setStroke(TAlphaColor color);
    double strokeThickness() const { return m_strokeThickness; }
    void setStrokeThickness(double thickness);

    // Off: clicks pass through to whatever lies below.
    void setHitTest(bool enabled);

    // Forgets a press in progress, so its release is no click (a long press was recognised).
    void cancelClick() { m_pressed = false; }

    // What a screen reader announces for the rectangle, asked for only when a reader asks, so
    // that repainting never has to compose it. Its tooltip says the same.
    void setAccessibleTextProvider(std::function<QString()> provider);
    bool hasAccessibleText() const { return static_cast<bool>(m_accessibleText); }
    QString accessibleText() const { return m_accessibleText ? m_accessibleText() : QString(); }

signals:
    void clicked(Rectangle* sender);
    void doubleClicked(Rectangle* sender);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TAlphaColor m_fill = Colors::White;
    TAlphaColor m_stroke = Colors::Black;
    double m_strokeThickness = 1;
    bool m_pressed = false;
    std::function<QString()> m_accessibleText;
};
