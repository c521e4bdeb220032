// Push buttons with per-state text colours, optional auto-repeat and a few looks of our own
// (arrow glyphs, a back arrow with its caption, a link), and speed buttons that never take the
// keyboard focus. Neither eats the navigation keys: they reach the window's key handler.
#pragma once

#include "colors/namedcolors.h"
#include "ui/tagged.h"

#include <QPushButton>

enum class ButtonLook { Standard, ArrowLeft, ArrowRight, Back, Link };

struct ButtonTextColors {
    TAlphaColor normal = Colors::Black;
    TAlphaColor hot = Colors::Black;
    TAlphaColor focused = Colors::Black;
    TAlphaColor pressed = Colors::Black;
    friend bool operator==(const ButtonTextColors&, const ButtonTextColors&) = default;
};

class PushButton : public QPushButton, public Tagged {
    Q_OBJECT

public:
    explicit PushButton(QWidget* parent = nullptr);

    ButtonLook look() const { return m_look; }
    void setLook(ButtonLook look);

    ButtonTextColors textColors() const { return m_colors; }
    void setTextColors(const ButtonTextColors& colors);
    // All four states at once.
    void setTextColor(TAlphaColor color) { setTextColors({color, color, color, color}); }
    TAlphaColor textColor() const { return m_colors.normal; }

    bool bold() const { return font().bold(); }
    void setBold(bool bold);
    void setUnderline(bool underline);

    // Repeats the click while held: the first repeat `delay` ms after the press, then every
    // `interval` ms.
    void setRepeat(int delay, int interval);

    // The colour the text is drawn in right now, by state: pressed, hot, focused, normal.
    TAlphaColor currentTextColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void paintGlyph(QPainter& painter, const QRect& area, TAlphaColor color) const;

    ButtonLook m_look = ButtonLook::Standard;
    ButtonTextColors m_colors;
};

class SpeedButton : public PushButton {
    Q_OBJECT

public:
    explicit SpeedButton(QWidget* parent = nullptr);
};

// The keys that move the selected date.
bool isNavigationKey(int key);
