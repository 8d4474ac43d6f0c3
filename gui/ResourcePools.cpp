#include "gui/ResourcePools.h"

#include "gui/Resources.h"

#include <QCoreApplication>
#include <QString>

#include <array>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace Marevane {

namespace {

QPixmap Load(const QString& path)
{
    QPixmap pixmap;
    pixmap.load(path);
    return pixmap;
}

QString ResourcePath(const QString& name)
{
    return QStringLiteral(":/Resources/") + name;
}

// A pool lives while the application object does: pictures must not
// outlive it, so a post routine drops the pool before the object goes.
template <typename Pool> class CApplicationLifetime {
  public:
    template <typename Make> static const Pool& Get(Make make)
    {
        if (s_pool == nullptr) {
            if (QCoreApplication::instance() == nullptr)
                qFatal("The picture pools need the application object");
            InitResources();
            s_pool = make();
            qAddPostRoutine(&Drop);
        }
        return *s_pool;
    }

  private:
    static void Drop()
    {
        delete s_pool;
        s_pool = nullptr;
    }
    static inline Pool* s_pool = nullptr;
};

QPixmap PatternPixmap(const PatternPixmaps& pictures, ImagePattern pattern)
{
    const auto it = pictures.find(pattern);
    if (it == pictures.end()) throw std::out_of_range("invalid unordered_map<K, T> key");
    return it->second;
}

QPixmap FindPatternPixmap(const PatternPixmaps& pictures, ImagePattern pattern)
{
    const auto it = pictures.find(pattern);
    return it == pictures.end() ? QPixmap() : it->second;
}

} // namespace

// --- panels ---------------------------------------------------------------

CPanelResourcePool::CPanelResourcePool()
{
    const QPixmap sea = Load(ResourcePath(QStringLiteral("SeaPanel.png")));
    std::vector<std::pair<PanelType, QPixmap>> board = {
        {PanelUnknown, sea},
        {PanelBoundary, sea},
        {PanelSea, sea},
    };
    const std::pair<PanelType, const char*> special[] = {
        {PanelSea, "SeaPanel"}, {PanelReef, "ReefPanel"},         {PanelShallow, "ShallowPanel"},
        {PanelFog, "FogPanel"}, {PanelHighWave, "HighWavePanel"},
    };
    for (const auto& [type, word] : special) {
        const QString name = QString::fromLatin1(word);
        if (type != PanelSea) board.emplace_back(type, Load(ResourcePath(name + QStringLiteral(".png"))));
        m_small.emplace(type, Load(ResourcePath(name + QStringLiteral("16x16.png"))));
    }
    Fill(std::move(board), sea);
    m_compass = Load(ResourcePath(QStringLiteral("Compass.png")));
}

const CPanelResourcePool& CPanelResourcePool::GetInstance()
{
    return CApplicationLifetime<CPanelResourcePool>::Get([] { return new CPanelResourcePool(); });
}

QPixmap CPanelResourcePool::GetSmallPixmap(PanelType type) const
{
    const auto it = m_small.find(type);
    return it == m_small.end() ? QPixmap() : it->second;
}

QSize CPanelResourcePool::GetPanelSize() const
{
    return Get(PanelSea).size();
}

// --- ships ----------------------------------------------------------------

namespace {

const std::pair<ShipType, const char*> ShipWords[] = {
    {ShipTypeBattleship, "Battleship"},
    {ShipTypeDestroyer, "Destroyer"},
    {ShipTypeSubmarine, "Submarine"},
    {ShipTypeOiler, "Oiler"},
};

// The patterns with a picture of their own; sinking up and down reuse the
// sinking picture.
const std::pair<ImagePattern, const char*> ShipVariants[] = {
    {ImageLeft, ""},     {ImageRight, "Right"},         {ImageUp, "Up"},
    {ImageDown, "Down"}, {ImageSinkingLeft, "Sinking"}, {ImageSinkingRight, "SinkingRight"},
};

// Surfacing submarines look the same for every side.
const std::pair<ImagePattern, const char*> SurfacingVariants[] = {
    {ImageSurfacingLeft, ""},
    {ImageSurfacingRight, "Right"},
    {ImageSurfacingUp, "Up"},
    {ImageSurfacingDown, "Down"},
};

} // namespace

CShipResourcePool::CShipResourcePool(int sideIndex)
{
    const QString side = QString::number(sideIndex + 1) + QStringLiteral("P.png");
    std::vector<std::pair<ShipType, PatternPixmaps>> rows;
    for (const auto& [type, word] : ShipWords) {
        PatternPixmaps pictures;
        for (const auto& [pattern, variant] : ShipVariants)
            pictures.emplace(pattern,
                             Load(ResourcePath(QString::fromLatin1(word) + QLatin1String(variant) + side)));
        pictures.emplace(ImageSinkingUp, pictures.at(ImageSinkingLeft));
        pictures.emplace(ImageSinkingDown, pictures.at(ImageSinkingLeft));
        if (type == ShipTypeSubmarine) {
            for (const auto& [pattern, variant] : SurfacingVariants)
                pictures.emplace(pattern,
                                 Load(ResourcePath(QStringLiteral("SubmarineSurfacing") +
                                                   QLatin1String(variant) + QStringLiteral(".png"))));
        }
        rows.emplace_back(type, std::move(pictures));
    }
    Fill(std::move(rows), PatternPixmaps());
    m_flag.load(ResourcePath(QStringLiteral("FlagIcon") + side));
}

const CShipResourcePool& CShipResourcePool::GetInstance(std::uint32_t side)
{
    using Pools = std::array<std::unique_ptr<CShipResourcePool>, 4>;
    const Pools& pools = CApplicationLifetime<Pools>::Get([] {
        auto* made = new Pools;
        for (int index = 0; index < 4; ++index) (*made)[index] = std::make_unique<CShipResourcePool>(index);
        return made;
    });
    return *pools[side & 3u];
}

QPixmap CShipResourcePool::GetPixmap(ShipType type, ImagePattern pattern) const
{
    return PatternPixmap(Get(type), pattern);
}

QPixmap CShipResourcePool::FindPixmap(ShipType type, ImagePattern pattern) const
{
    return FindPatternPixmap(Get(type), pattern);
}

// --- weapons --------------------------------------------------------------

CWeaponResourcePool::CWeaponResourcePool()
{
    PatternPixmaps torpedo;
    const std::pair<ImagePattern, const char*> directions[] = {
        {ImageLeft, ""}, {ImageRight, "Right"}, {ImageUp, "Up"}, {ImageDown, "Down"}};
    for (const auto& [pattern, variant] : directions)
        torpedo.emplace(pattern, Load(ResourcePath(QStringLiteral("Torpedo") + QLatin1String(variant) +
                                                   QStringLiteral(".png"))));
    // A mine looks the same whichever way it goes.
    const QPixmap mine = Load(ResourcePath(QStringLiteral("Mine.png")));
    PatternPixmaps mines;
    for (const auto& direction : directions) mines.emplace(direction.first, mine);
    Fill({{CommandTorpedo, std::move(torpedo)}, {CommandMine, std::move(mines)}}, PatternPixmaps());
}

const CWeaponResourcePool& CWeaponResourcePool::GetInstance()
{
    return CApplicationLifetime<CWeaponResourcePool>::Get([] { return new CWeaponResourcePool(); });
}

QPixmap CWeaponResourcePool::GetPixmap(CommandCode weapon, ImagePattern pattern) const
{
    return PatternPixmap(Get(weapon), pattern);
}

QPixmap CWeaponResourcePool::FindPixmap(CommandCode weapon, ImagePattern pattern) const
{
    return FindPatternPixmap(Get(weapon), pattern);
}

// --- bitmap characters ----------------------------------------------------

CBitmapCharacterResourcePool::CBitmapCharacterResourcePool()
{
    std::vector<std::pair<std::wstring, QPixmap>> rows;
    rows.reserve(40);
    for (wchar_t digit = L'0'; digit <= L'9'; ++digit)
        rows.emplace_back(std::wstring(1, digit),
                          Load(ResourcePath(QStringLiteral("BitmapNumber%1.png").arg(QChar(digit)))));
    const QString folder = QStringLiteral("BitmapCharacters/BitmapCharacter");
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter)
        rows.emplace_back(std::wstring(1, letter),
                          Load(ResourcePath(folder + QChar(letter) + QStringLiteral(".png"))));
    const std::pair<const wchar_t*, const char*> signs[] = {
        {L"+", "+"}, {L"-", "-"}, {L"!", "ExclamationMark"}, {L"?", "QuestionMark"}};
    for (const auto& [key, word] : signs)
        rows.emplace_back(key, Load(ResourcePath(folder + QLatin1String(word) + QStringLiteral(".png"))));
    Fill(std::move(rows), QPixmap());
}

const CBitmapCharacterResourcePool& CBitmapCharacterResourcePool::GetInstance()
{
    return CApplicationLifetime<CBitmapCharacterResourcePool>::Get(
        [] { return new CBitmapCharacterResourcePool(); });
}

} // namespace Marevane
