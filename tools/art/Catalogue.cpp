#include "tools/art/Art.h"

namespace art {

void Pictures::add(const QString& group, const QString& subfolder, const QString& alias, const QImage& image)
{
    const QString name = alias.section('/', -1);
    pictures_.push_back({alias, "Resources/Images/" + subfolder + "/" + name, group, image});
}

std::vector<int> applicationIconSizes()
{
    return {256, 128, 64, 48, 32, 24, 16};
}

Pictures buildAll()
{
    Pictures out;
    addShips(out);
    addPanels(out);
    addWeapons(out);
    addEffects(out);
    addLettering(out);
    addCaptions(out);
    addButtons(out);
    addScreens(out);
    return out;
}

} // namespace art
