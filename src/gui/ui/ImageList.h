#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

// Pictures addressed by key, exactly as written (keys are case-sensitive: "Prv" and "PRV" differ).
class ImageList {
public:
    void add(const QString& key, const QIcon& icon) { m_icons.insert(key, icon); }
    bool contains(const QString& key) const { return m_icons.contains(key); }
    QIcon icon(const QString& key) const { return m_icons.value(key); }
    void clear() { m_icons.clear(); }
    qsizetype count() const { return m_icons.size(); }

private:
    QHash<QString, QIcon> m_icons;
};

// Our own drawings (SVG resources) as icons drawn at whatever size they are shown at, so they stay
// sharp in lists, on the toolbar and on a 2x screen.
QIcon drawnIcon(const QString& resourceName);

// The image lists of the main window, filled with our drawings.
void fillListIcons(ImageList& large, ImageList& small);
void fillToolbarIcons(ImageList& toolbar);
QIcon programIcon();

// Makes the compiled-in pictures available (they live in a static library).
void ensureResources();
