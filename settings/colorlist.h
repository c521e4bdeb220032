// The Settings page's colour list: the 148 named colours with swatches, "Null" last.
#pragma once

#include "colors/namedcolors.h"
#include "ui/pickers.h"

class ColorComboBox : public PopupComboBox {
    Q_OBJECT

public:
    explicit ColorComboBox(QWidget* parent = nullptr);

    // Null with no item selected.
    TAlphaColor colorValue() const;
    // Selects the first item with that value; keeps the selection when there is none.
    void selectColor(TAlphaColor color);

protected:
    void prepareDropDown() override;
};
