#include "gui/Icon.h"

namespace Marevane {

CIcon::CIcon(QGraphicsItem* parent) : QObject(nullptr), QGraphicsPixmapItem(parent) {}

CIcon::CIcon(const QPixmap& pixmap, QGraphicsItem* parent)
    : QObject(nullptr), QGraphicsPixmapItem(pixmap, parent)
{
}

CIcon::~CIcon() = default;

QPixmap CIcon::GetPixmap() const
{
    return pixmap();
}

CPanel* CIcon::GetPanel() const
{
    return nullptr;
}

void CIcon::ChangeImage(int) {}

int CIcon::SetImagePattern(int pattern)
{
    m_imagePattern = pattern;
    return m_imagePattern;
}

} // namespace Marevane
