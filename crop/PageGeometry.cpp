#include "crop/PageGeometry.h"

#include <cmath>

int PageGeometry::normalizedRotation(double degrees) {
    if (!std::isfinite(degrees) || std::fmod(degrees, 90.0) != 0.0)
        return 0;
    const int turned = static_cast<int>(std::fmod(degrees, 360.0));
    return (turned + 360) % 360;
}
