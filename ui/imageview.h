// A picture scaled to fit its bounds with its proportions kept, centred, at an opacity. The
// picture is decoded on its first paint, so pages never shown cost nothing at start-up.
#pragma once

#include "ui/tagged.h"

#include <QIcon>
#include <QStringList>
#include <QWidget>

#include <optional>

class ImageView : public QWidget, public Tagged {
    Q_OBJECT

public:
    explicit ImageView(QWidget* parent = nullptr);

    // The same picture at several resolutions; the one that fits the screen's density is drawn.
    void setSources(const QStringList& files);
    void setOpacity(double opacity);
    double opacity() const { return m_opacity; }

    // Where the picture is drawn inside the widget.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize naturalSize() const;

    QStringList m_sources;
    QIcon m_icon;
    bool m_loaded = false;
    mutable std::optional<QSize> m_naturalSize;
    double m_opacity = 1.0;
};
