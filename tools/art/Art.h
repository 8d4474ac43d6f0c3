#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <vector>

namespace art {

// One picture of the resource bundle.
struct Picture {
    QString alias; // resource path without the leading ":/", e.g. "Resources/SeaPanel.png"
    QString file;  // where it is written, relative to the output folder
    QString group; // heading on the contact sheet
    QImage image;
};

class Pictures {
  public:
    void add(const QString& group, const QString& subfolder, const QString& alias, const QImage& image);
    const std::vector<Picture>& all() const { return pictures_; }

  private:
    std::vector<Picture> pictures_;
};

enum class ShipKind { Battleship, Destroyer, Submarine, Oiler };
// A ship seen from above facing left, in a 32 x 32 box of the painter's coordinates.
void paintShip(QPainter& p, ShipKind kind, const QColor& base);

void addShips(Pictures& out);
void addPanels(Pictures& out);
void addWeapons(Pictures& out);
void addEffects(Pictures& out);
void addLettering(Pictures& out);
void addCaptions(Pictures& out);
void addButtons(Pictures& out);
void addScreens(Pictures& out);

// The window icon at one of its sizes.
QImage applicationIcon(int size);
// The sizes the icon file holds, largest first.
std::vector<int> applicationIconSizes();
inline const QString kIconAlias = "Resources/ApplicationIcon.ico";

// Every picture, in a fixed order.
Pictures buildAll();

} // namespace art
