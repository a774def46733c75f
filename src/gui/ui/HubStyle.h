#pragma once

#include <QProxyStyle>

// The desktop's style (or the one asked for with -style), with our own drawing for the chevron
// that a menu bar or toolbar too narrow for its items shows. The style's own chevron is a PNG
// file, and reading it makes Qt load every image-format plugin installed, before the first
// window shows; ours is drawn from the program's own pictures.
class HubStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
