#include "gui/ScreenTiming.h"

#include <QByteArray>
#include <QtGlobal>

#include <atomic>
#include <cmath>

namespace Marevane::ScreenTiming {

namespace {

std::atomic<double> g_override{0.0};

} // namespace

double ParseScale(const QByteArray& text)
{
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty()) return 1.0;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0.0) {
        qWarning("MAREVANE_TIME_SCALE=%s is not a positive number; the screens run at normal speed",
                 trimmed.constData());
        return 1.0;
    }
    return value;
}

double Scale()
{
    const double chosen = g_override.load();
    if (chosen > 0.0) return chosen;
    static const double fromEnvironment = ParseScale(qgetenv("MAREVANE_TIME_SCALE"));
    return fromEnvironment;
}

void SetScale(double scale)
{
    g_override.store(std::isfinite(scale) && scale > 0.0 ? scale : 0.0);
}

int Scaled(int ms)
{
    if (ms <= 0) return ms;
    const double scaled = std::round(ms * Scale());
    if (scaled < 1.0) return 1;
    if (scaled > 2147483647.0) return 2147483647;
    return static_cast<int>(scaled);
}

} // namespace Marevane::ScreenTiming
